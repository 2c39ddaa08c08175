#include "panes/shortcut_resolution.h"

#include <shlobj.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "base/handles.h"
#include "tests/support/dialog_answerer.h"
#include "tests/support/iat_patch.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr wchar_t kPrompt[] = L"Open Target?(Yes) or Shortcut?(No)";

struct Creation {
  CLSID clsid;
  bool aggregated;
  DWORD context;
  IID iid;
};

std::vector<Creation> g_creations;
decltype(&CoCreateInstance) g_realCoCreateInstance = nullptr;

HRESULT WINAPI RecordingCoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid,
                                         LPVOID* object) {
  g_creations.push_back(Creation{clsid, outer != nullptr, context, iid});
  return g_realCoCreateInstance(clsid, outer, context, iid, object);
}

// What one call did.
struct Call {
  const wchar_t* result;
  std::vector<SeenDialog> boxes;
  std::vector<Creation> creations;
};

// A resolved buffer that shows whether the function wrote to it.
struct ResolvedBuffer {
  ResolvedBuffer() {
    std::fill(std::begin(text), std::end(text), L'#');
    text[MAX_PATH - 1] = L'\0';
  }
  bool Untouched() const { return std::wstring(text) == std::wstring(MAX_PATH - 1, L'#'); }
  wchar_t text[MAX_PATH];
};

// Saves a shortcut at the given path; setTarget points the link object at its target.
void SaveLink(const std::wstring& at, const std::function<HRESULT(IShellLinkW*)>& setTarget) {
  IShellLinkW* rawLink = nullptr;
  ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                            IID_IShellLinkW, reinterpret_cast<void**>(&rawLink)));
  UniqueCom<IShellLinkW> link(rawLink);
  IPersistFile* rawFile = nullptr;
  ASSERT_HRESULT_SUCCEEDED(
      link.Get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile)));
  UniqueCom<IPersistFile> file(rawFile);
  ASSERT_HRESULT_SUCCEEDED(setTarget(link.Get()));
  ASSERT_HRESULT_SUCCEEDED(link.Get()->SetDescription(L"made by the shortcut tests"));
  ASSERT_HRESULT_SUCCEEDED(file.Get()->Save(at.c_str(), TRUE));
}

void SaveShortcut(const std::wstring& at, const std::wstring& target) {
  SaveLink(at, [&](IShellLinkW* link) { return link->SetPath(target.c_str()); });
}

// A shortcut to the computer itself, which has no file-system path.
void SaveShortcutToComputer(const std::wstring& at) {
  PIDLIST_ABSOLUTE computer = nullptr;
  ASSERT_HRESULT_SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer));
  SaveLink(at, [&](IShellLinkW* link) { return link->SetIDList(computer); });
  CoTaskMemFree(computer);
}

class ShortcutResolution : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_HRESULT_SUCCEEDED(CoInitialize(nullptr));
    owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                             nullptr, nullptr, nullptr);
    ASSERT_NE(owner_, nullptr);
    target_ = folder_.MakeFile(L"target.txt");
  }

  void TearDown() override {
    DestroyWindow(owner_);
    CoUninitialize();
  }

  std::wstring Shortcut(const std::wstring& name) {
    std::wstring at = folder_.PathOf(name);
    SaveShortcut(at, target_);
    return at;
  }

  // Calls the function with shell-object creation recorded and any box answered; a box the test
  // does not expect is cancelled.
  Call Resolve(
      const wchar_t* path, wchar_t* resolved, const wchar_t* prompt,
      DialogAnswerer::Answer answer = [](HWND box) { PressButton(box, IDCANCEL); }) {
    ImportPatch patch("ole32.dll", "CoCreateInstance",
                      reinterpret_cast<void*>(RecordingCoCreateInstance));
    EXPECT_TRUE(patch.Applied());
    g_realCoCreateInstance = reinterpret_cast<decltype(&CoCreateInstance)>(patch.Original());
    g_creations.clear();
    DialogAnswerer answerer(std::move(answer));
    const wchar_t* result = GetResolvedPathDialog(owner_, path, resolved, prompt);
    return Call{result, answerer.Seen(), g_creations};
  }

  TempFolder folder_;
  std::wstring target_;
  HWND owner_ = nullptr;
};

TEST_F(ShortcutResolution, OtherPathsComeBackAtOnceWithoutTheShell) {
  const std::wstring lnkFolder = folder_.MakeFolder(L"links.lnk");
  folder_.MakeFolder(L"album");
  const std::wstring rows[] = {
      folder_.MakeFile(L"photo.jpg"),
      folder_.PathOf(L"album"),
      folder_.MakeFile(L"notes.lnk.txt"),
      folder_.MakeFile(L"README"),
      lnkFolder + L"\\", // no last component, so no extension
      folder_.PathOf(L"missing.txt"),
  };
  for (const std::wstring& path : rows) {
    SCOPED_TRACE(testing::Message() << "path " << testing::PrintToString(path));
    ResolvedBuffer resolved;
    Call call = Resolve(path.c_str(), resolved.text, kPrompt);
    EXPECT_EQ(call.result, path.c_str());
    EXPECT_TRUE(resolved.Untouched());
    EXPECT_TRUE(call.creations.empty());
    EXPECT_TRUE(call.boxes.empty());
  }
}

TEST_F(ShortcutResolution, ShortcutsAreKnownByTheirExtensionInAnyCase) {
  const std::wstring names[] = {L"upper.LNK", L"lower.lnk", L"mixed.Lnk"};
  for (const std::wstring& name : names) {
    SCOPED_TRACE(testing::Message() << "name " << testing::PrintToString(name));
    std::wstring path = Shortcut(name);
    ResolvedBuffer resolved;
    Call call = Resolve(path.c_str(), resolved.text, nullptr);
    EXPECT_EQ(call.result, resolved.text);
    EXPECT_EQ(std::wstring(resolved.text), target_);
    EXPECT_TRUE(call.boxes.empty()) << "no prompt, no box";
    ASSERT_EQ(call.creations.size(), 1u);
    const Creation& made = call.creations[0];
    EXPECT_TRUE(IsEqualCLSID(made.clsid, CLSID_ShellLink));
    EXPECT_FALSE(made.aggregated);
    EXPECT_EQ(made.context, static_cast<DWORD>(CLSCTX_INPROC_SERVER));
    EXPECT_TRUE(IsEqualIID(made.iid, IID_IShellLinkW));
  }
}

TEST_F(ShortcutResolution, ShortcutsThatCannotBeReadGiveNothingAndAnEmptyTarget) {
  const std::wstring rows[] = {
      folder_.MakeFolder(L"folder.lnk"),
      folder_.MakeFile(L"bad.lnk", std::string("\x4c\0\0\0garbage, not a link", 24)),
      folder_.MakeFile(L"empty.lnk", ""),
      folder_.PathOf(L"missing.lnk"),
  };
  for (const std::wstring& path : rows) {
    SCOPED_TRACE(testing::Message() << "path " << testing::PrintToString(path));
    ResolvedBuffer resolved;
    Call call = Resolve(path.c_str(), resolved.text, kPrompt);
    EXPECT_EQ(call.result, nullptr);
    EXPECT_STREQ(resolved.text, L"");
    EXPECT_EQ(call.creations.size(), 1u);
    EXPECT_TRUE(call.boxes.empty());
  }
}

TEST_F(ShortcutResolution, MissingPathOrBufferGivesNothingWithoutTheShell) {
  ResolvedBuffer resolved;
  Call noPath = Resolve(nullptr, resolved.text, kPrompt);
  EXPECT_EQ(noPath.result, nullptr);
  EXPECT_TRUE(resolved.Untouched());
  EXPECT_TRUE(noPath.creations.empty());

  std::wstring path = Shortcut(L"short.lnk");
  Call noBuffer = Resolve(path.c_str(), nullptr, kPrompt);
  EXPECT_EQ(noBuffer.result, nullptr);
  EXPECT_TRUE(noBuffer.creations.empty());
  EXPECT_TRUE(noBuffer.boxes.empty());
}

// A path the splitter cannot take apart has no known extension; it must not be taken for a plain
// file (it may be a shortcut) nor opened as a shortcut.
TEST_F(ShortcutResolution, PathsTooLongToSplitAreRefused) {
  const std::wstring rows[] = {
      folder_.PathOf(L"x." + std::wstring(300, L'k')),
      L"C:\\" + std::wstring(300, L'a') + L"\\short.lnk",
  };
  for (const std::wstring& path : rows) {
    SCOPED_TRACE(testing::Message() << "length " << path.size());
    ResolvedBuffer resolved;
    Call call = Resolve(path.c_str(), resolved.text, kPrompt);
    EXPECT_EQ(call.result, nullptr);
    EXPECT_TRUE(resolved.Untouched());
    EXPECT_TRUE(call.creations.empty());
  }
}

TEST_F(ShortcutResolution, TheAnswerPicksTargetShortcutOrNothing) {
  enum Pick { kTarget, kShortcut, kNothing };
  struct Row {
    const char* name;
    DialogAnswerer::Answer answer;
    Pick pick;
  };
  const Row rows[] = {
      {"Yes", [](HWND box) { PressButton(box, IDYES); }, kTarget},
      {"No", [](HWND box) { PressButton(box, IDNO); }, kShortcut},
      {"Cancel", [](HWND box) { PressButton(box, IDCANCEL); }, kNothing},
      {"closed", [](HWND box) { PostMessageW(box, WM_CLOSE, 0, 0); }, kNothing},
  };
  std::wstring path = Shortcut(L"short.lnk");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ResolvedBuffer resolved;
    Call call = Resolve(path.c_str(), resolved.text, kPrompt, row.answer);
    const wchar_t* expected[] = {resolved.text, path.c_str(), nullptr};
    EXPECT_EQ(call.result, expected[row.pick]);
    EXPECT_EQ(std::wstring(resolved.text), target_) << "filled whatever the answer";
    EXPECT_EQ(call.boxes.size(), 1u);
  }
}

TEST_F(ShortcutResolution, TheQuestionNamesTheTargetAndOffersYesNoCancel) {
  std::wstring path = Shortcut(L"short.lnk");
  ResolvedBuffer resolved;
  Call call = Resolve(path.c_str(), resolved.text, kPrompt);
  ASSERT_EQ(call.boxes.size(), 1u);
  const SeenDialog& box = call.boxes[0];
  EXPECT_EQ(box.owner, owner_);
  EXPECT_EQ(box.caption, L"target.txt");
  EXPECT_EQ(box.text, kPrompt);
  std::vector<int> buttons = box.buttons;
  std::sort(buttons.begin(), buttons.end());
  EXPECT_EQ(buttons, (std::vector<int>{IDCANCEL, IDYES, IDNO}));
  EXPECT_EQ(box.defaultButton, IDYES);
  EXPECT_FALSE(box.hasIcon);
}

TEST_F(ShortcutResolution, TheCaptionIsTheTargetsLastComponent) {
  const std::wstring targets[] = {
      folder_.MakeFile(L"report.final.pdf"),
      folder_.MakeFolder(L"Holiday 2024"),
      folder_.MakeFolder(L"archive.old"),
  };
  for (const std::wstring& target : targets) {
    SCOPED_TRACE(testing::Message() << "target " << testing::PrintToString(target));
    std::wstring path = folder_.PathOf(L"to.lnk");
    SaveShortcut(path, target);
    ResolvedBuffer resolved;
    Call call =
        Resolve(path.c_str(), resolved.text, kPrompt, [](HWND box) { PressButton(box, IDYES); });
    EXPECT_EQ(call.result, resolved.text);
    EXPECT_EQ(std::wstring(resolved.text), target);
    ASSERT_EQ(call.boxes.size(), 1u);
    EXPECT_EQ(call.boxes[0].caption, target.substr(target.rfind(L'\\') + 1));
  }
}

// The link object reports success with an empty path; the user may still take that target.
TEST_F(ShortcutResolution, ATargetWithoutAPathIsTheEmptyText) {
  std::wstring path = folder_.PathOf(L"computer.lnk");
  SaveShortcutToComputer(path);
  ResolvedBuffer resolved;
  Call call =
      Resolve(path.c_str(), resolved.text, kPrompt, [](HWND box) { PressButton(box, IDYES); });
  EXPECT_EQ(call.result, resolved.text);
  EXPECT_STREQ(resolved.text, L"");
  ASSERT_EQ(call.boxes.size(), 1u);
  EXPECT_EQ(call.boxes[0].caption, L"");
}

// No file system allows a 256-character name, so the splitter refuses it; the box then shows the
// whole target rather than an empty caption.
TEST_F(ShortcutResolution, ANameTooLongToSplitIsCaptionedWithTheWholeTarget) {
  const std::wstring target = L"C:\\" + std::wstring(256, L'n');
  std::wstring path = folder_.PathOf(L"long.lnk");
  SaveShortcut(path, target);
  ResolvedBuffer resolved;
  Call call = Resolve(path.c_str(), resolved.text, kPrompt);
  EXPECT_EQ(call.result, nullptr);
  EXPECT_EQ(std::wstring(resolved.text), target);
  ASSERT_EQ(call.boxes.size(), 1u);
  EXPECT_EQ(call.boxes[0].caption, target);
}

} // namespace
