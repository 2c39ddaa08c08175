#include "filetime/match_folders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/main_state.h"
#include "base/settings.h"
#include "tests/support/dialog_answerer.h"
#include "tests/support/file_times.h"
#include "tests/support/long_path_items.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr uint64_t kDay = 864000000000ull;
// Sub-millisecond parts, which the copy through local SYSTEMTIMEs drops.
constexpr uint64_t kReferenceCreated = 127000000000000000ull + 1111;
constexpr uint64_t kReferenceModified = 127500000000000000ull + 2222;
constexpr uint64_t kTargetTicks = 131000000000000000ull + 3333;

uint64_t ToMilliseconds(uint64_t ticks) {
  return ticks / kTicksPerMillisecond * kTicksPerMillisecond;
}

bool IsFolderItem(const std::wstring& relative) {
  return !relative.empty() && relative.back() == L'\\';
}

std::wstring Trimmed(const std::wstring& relative) {
  return IsFolderItem(relative) ? relative.substr(0, relative.size() - 1) : relative;
}

// Makes the items (folders end in a backslash) under root and gives each its own times; folders
// last and deepest first, since making their contents changed their times.
void MakeTree(const std::wstring& root, const std::vector<std::wstring>& items, uint64_t created,
              uint64_t modified) {
  for (const std::wstring& item : items) {
    std::wstring path = root + L"\\" + Trimmed(item);
    if (IsFolderItem(item))
      EXPECT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    else
      EXPECT_TRUE(CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr)));
  }
  std::vector<std::wstring> ordered = items;
  std::sort(ordered.rbegin(), ordered.rend());
  uint64_t offset = 0;
  for (const std::wstring& item : ordered) {
    offset += kDay;
    FILETIME createdTime = FromTicks(created + offset);
    FILETIME modifiedTime = FromTicks(modified + offset);
    WriteRaw(root + L"\\" + Trimmed(item), &createdTime, &modifiedTime);
  }
}

std::wstring Lower(std::wstring text) {
  CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

const std::vector<std::wstring> kReferenceItems = {L"a\\", L"a\\b\\", L"a\\f.txt"};

class MatchFoldersTest : public ::testing::Test {
protected:
  void SetUp() override {
    owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner_, nullptr);
    // The option is found through the owner's user data, as on the main window.
    SetWindowLongPtrW(owner_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state_.get()));
  }
  void TearDown() override { DestroyWindow(owner_); }

  void UseOption(const std::string& value) {
    std::wstring ini =
        folder_.MakeFile(L"Datewright.ini", "[General]\r\nMatchedFoldersOption=" + value + "\r\n");
    lstrcpyW(state_->iniPath, ini.c_str());
  }
  void NoSettingsFile() { state_->iniPath[0] = L'\0'; }
  // What the Match command reads before each run.
  uint32_t OptionNow() const {
    return static_cast<uint32_t>(
        ReadSettingInt(state_->iniPath, L"General", L"MatchedFoldersOption", 33));
  }
  // A fresh pair of trees for each case: the Reference with kReferenceItems, the Target with its
  // own items.
  void MakeTrees(const std::vector<std::wstring>& targetItems) {
    ++trees_;
    reference_ = folder_.MakeFolder(L"R" + std::to_wstring(trees_));
    target_ = folder_.MakeFolder(L"T" + std::to_wstring(trees_));
    MakeTree(reference_, kReferenceItems, kReferenceCreated, kReferenceModified);
    MakeTree(target_, targetItems, kTargetTicks, kTargetTicks);
  }
  // The Target's times, by relative path, as they are on disk.
  std::map<std::wstring, RawTimes> TargetTimes(const std::vector<std::wstring>& items) const {
    std::map<std::wstring, RawTimes> times;
    for (const std::wstring& item : items)
      times[Trimmed(item)] = ReadRaw(target_ + L"\\" + Trimmed(item));
    return times;
  }
  uint32_t Match(int answer, const std::wstring& reference, const std::wstring& target) {
    DialogAnswerer answerer([&](HWND box) { EXPECT_TRUE(PressButton(box, answer)); });
    uint32_t count = MatchFolders(owner_, reference.c_str(), target.c_str(), OptionNow());
    seen_ = answerer.Seen();
    return count;
  }

  // Checks what reached SetFileTime and the disk: each item in written got the Reference item's
  // times that option selects, the other Target items kept theirs.
  void ExpectWritten(const SetFileTimeRecorder& recorder, uint32_t option,
                     const std::vector<std::wstring>& targetItems,
                     const std::map<std::wstring, RawTimes>& before,
                     const std::vector<std::wstring>& written) {
    std::vector<std::wstring> calls;
    for (const SetFileTimeCall& call : recorder.Calls())
      calls.push_back(Lower(call.path));
    std::vector<std::wstring> expectedCalls;
    for (const std::wstring& relative : written)
      expectedCalls.push_back(Lower(target_ + L"\\" + relative));
    std::sort(calls.begin(), calls.end());
    std::sort(expectedCalls.begin(), expectedCalls.end());
    EXPECT_EQ(calls, expectedCalls);
    bool keepsCreated = FileSystemKeepsCreatedTimes(folder_.Path());
    for (const std::wstring& item : targetItems) {
      std::wstring relative = Trimmed(item);
      SCOPED_TRACE(testing::PrintToString(relative));
      RawTimes now = ReadRaw(target_ + L"\\" + relative);
      bool copied = std::find(written.begin(), written.end(), relative) != written.end();
      RawTimes source = copied ? ReadRaw(reference_ + L"\\" + relative) : RawTimes{};
      uint64_t modified = Ticks(before.at(relative).modified);
      uint64_t created = Ticks(before.at(relative).created);
      std::optional<SetFileTimeCall> call = recorder.LastFor(target_ + L"\\" + relative);
      if (copied && (option & kMatchCopyModified) != 0)
        modified = ToMilliseconds(Ticks(source.modified));
      if (copied && (option & kMatchCopyCreated) != 0)
        created = ToMilliseconds(Ticks(source.created));
      if (call) {
        EXPECT_EQ(call->modified, (option & kMatchCopyModified) != 0
                                      ? std::optional<uint64_t>(modified)
                                      : std::nullopt);
        EXPECT_EQ(call->created, (option & kMatchCopyCreated) != 0
                                     ? std::optional<uint64_t>(created)
                                     : std::nullopt);
        EXPECT_FALSE(call->lastAccessGiven);
      }
      EXPECT_EQ(Ticks(now.modified), modified);
      if (keepsCreated) {
        EXPECT_EQ(Ticks(now.created), created);
      }
    }
  }

  TempFolder folder_;
  std::unique_ptr<MainState> state_ = std::make_unique<MainState>();
  HWND owner_ = nullptr;
  int trees_ = 0;
  std::wstring reference_;
  std::wstring target_;
  std::vector<SeenDialog> seen_;
};

struct OptionCase {
  const char* setting; // null: no settings file
  uint32_t option;     // what the setting means
  uint32_t count;
  std::vector<std::wstring> written;
};

const OptionCase kOptionCases[] = {
    {nullptr, 0x21, 2, {L"a", L"a\\b"}},
    {"33", 0x21, 2, {L"a", L"a\\b"}},
    {"51", 0x33, 3, {L"a", L"a\\b", L"a\\f.txt"}},
    {"17", 0x11, 3, {L"a", L"a\\b", L"a\\f.txt"}},
    {"34", 0x22, 2, {L"a", L"a\\b"}},
    {"32", 0x20, 2, {}},
    {"16", 0x10, 3, {}},
    {"1", 0x01, 0, {}},
    {"417", 0x1A1, 2, {L"a", L"a\\b"}}, // bits other than the four are ignored
};

TEST_F(MatchFoldersTest, OptionBitsChooseItemsAndTimes) {
  for (const OptionCase& c : kOptionCases) {
    SCOPED_TRACE(c.setting != nullptr ? c.setting : "no settings file");
    if (c.setting != nullptr)
      UseOption(c.setting);
    else
      NoSettingsFile();
    MakeTrees(kReferenceItems);
    std::map<std::wstring, RawTimes> before = TargetTimes(kReferenceItems);
    std::vector<uint64_t> referenceBefore;
    for (const std::wstring& item : kReferenceItems)
      referenceBefore.push_back(Ticks(ReadRaw(reference_ + L"\\" + Trimmed(item)).modified));

    SetFileTimeRecorder recorder;
    ASSERT_TRUE(recorder.Applied());
    EXPECT_EQ(Match(IDYES, reference_, target_), c.count);
    ExpectWritten(recorder, c.option, kReferenceItems, before, c.written);
    for (size_t i = 0; i < kReferenceItems.size(); ++i)
      EXPECT_EQ(Ticks(ReadRaw(reference_ + L"\\" + Trimmed(kReferenceItems[i])).modified),
                referenceBefore[i]);
  }
}

struct ShapeCase {
  const char* name;
  uint32_t option;
  std::vector<std::wstring> targetItems;
  uint32_t count;
  std::vector<std::wstring> written;
};

const ShapeCase kShapeCases[] = {
    {"missing counterparts are skipped", 0x33, {L"a\\"}, 1, {L"a"}},
    {"a file where a folder is needed is skipped",
     0x31,
     {L"a\\", L"a\\b", L"a\\f.txt"},
     2,
     {L"a", L"a\\f.txt"}},
    {"plain items match whatever is there", 0x11, {L"a\\", L"a\\b"}, 2, {L"a", L"a\\b"}},
    {"a folder where a file was is matched as a plain item",
     0x31,
     {L"a\\", L"a\\b\\", L"a\\f.txt\\"},
     3,
     {L"a", L"a\\b", L"a\\f.txt"}},
    {"an empty Target", 0x33, {}, 0, {}},
};

TEST_F(MatchFoldersTest, CounterpartsMustExistInTheRightKind) {
  for (const ShapeCase& c : kShapeCases) {
    SCOPED_TRACE(c.name);
    UseOption(std::to_string(c.option));
    MakeTrees(c.targetItems);
    std::map<std::wstring, RawTimes> before = TargetTimes(c.targetItems);
    SetFileTimeRecorder recorder;
    EXPECT_EQ(Match(IDYES, reference_, target_), c.count);
    ExpectWritten(recorder, c.option, c.targetItems, before, c.written);
  }
}

TEST_F(MatchFoldersTest, AsksWithBothFoldersAndATrailingBackslashChangesNothing) {
  UseOption("51");
  for (const wchar_t* referenceEnd : {L"", L"\\"}) {
    for (const wchar_t* targetEnd : {L"", L"\\"}) {
      SCOPED_TRACE(testing::PrintToString(std::wstring(referenceEnd) + L"|" + targetEnd));
      MakeTrees(kReferenceItems);
      std::map<std::wstring, RawTimes> before = TargetTimes(kReferenceItems);
      SetFileTimeRecorder recorder;
      EXPECT_EQ(Match(IDYES, reference_ + referenceEnd, target_ + targetEnd), 3u);
      ExpectWritten(recorder, 0x33, kReferenceItems, before, {L"a", L"a\\b", L"a\\f.txt"});
      ASSERT_EQ(seen_.size(), 1u);
      EXPECT_EQ(seen_[0].owner, owner_);
      EXPECT_EQ(seen_[0].caption, L"Matched Folders DateTime");
      EXPECT_EQ(seen_[0].text, reference_ + L"\\\r\nTo\r\n" + target_ + L"\\");
      std::vector<int> buttons = seen_[0].buttons;
      std::sort(buttons.begin(), buttons.end());
      EXPECT_EQ(buttons, (std::vector<int>{IDYES, IDNO}));
    }
  }
}

TEST_F(MatchFoldersTest, AnsweredNoChangesNothing) {
  UseOption("51");
  MakeTrees(kReferenceItems);
  std::map<std::wstring, RawTimes> before = TargetTimes(kReferenceItems);
  SetFileTimeRecorder recorder;
  EXPECT_EQ(Match(IDNO, reference_, target_), 0u);
  EXPECT_EQ(seen_.size(), 1u);
  ExpectWritten(recorder, 0x33, kReferenceItems, before, {});
}

TEST_F(MatchFoldersTest, OnlyTwoExistingFoldersAreAskedAbout) {
  UseOption("51");
  MakeTrees(kReferenceItems);
  std::wstring file = reference_ + L"\\a\\f.txt";
  std::wstring missing = folder_.PathOf(L"missing");
  const std::pair<const wchar_t*, const wchar_t*> pairs[] = {
      {file.c_str(), target_.c_str()},
      {reference_.c_str(), file.c_str()},
      {missing.c_str(), target_.c_str()},
      {reference_.c_str(), missing.c_str()},
      {nullptr, target_.c_str()},
      {reference_.c_str(), nullptr},
      {L"", target_.c_str()},
  };
  SetFileTimeRecorder recorder;
  DialogAnswerer answerer([](HWND box) { PressButton(box, IDYES); });
  for (const auto& [reference, target] : pairs)
    EXPECT_EQ(MatchFolders(owner_, reference, target, OptionNow()), 0u);
  EXPECT_EQ(answerer.Count(), 0u);
  EXPECT_TRUE(recorder.Calls().empty());
}

TEST_F(MatchFoldersTest, ReadsTheOptionAfreshAtEachRun) {
  UseOption("32");
  MakeTrees(kReferenceItems);
  EXPECT_EQ(Match(IDYES, reference_, target_), 2u);
  UseOption("51");
  EXPECT_EQ(Match(IDYES, reference_, target_), 3u);
  NoSettingsFile();
  EXPECT_EQ(Match(IDYES, reference_, target_), 2u);
}

// Not confirmed is not confirmed: a box that cannot be shown must not let the walk run.
TEST_F(MatchFoldersTest, ABoxThatCannotBeShownMatchesNothing) {
  UseOption("51");
  MakeTrees(kReferenceItems);
  HWND gone = CreateWindowExW(0, L"STATIC", L"gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  DestroyWindow(gone);
  SetFileTimeRecorder recorder;
  DialogAnswerer answerer([](HWND box) { PressButton(box, IDYES); });
  EXPECT_EQ(MatchFolders(gone, reference_.c_str(), target_.c_str(), OptionNow()), 0u);
  EXPECT_EQ(answerer.Count(), 0u);
  EXPECT_TRUE(recorder.Calls().empty());
}

// A counterpart path cut to MAX_PATH could name another item, which would get the times.
TEST_F(MatchFoldersTest, CounterpartWhosePathWouldNotFitIsSkipped) {
  UseOption("51");
  ++trees_;
  reference_ = folder_.MakeFolder(L"R");
  MakeTree(reference_, {L"a\\", L"a\\bc"}, kReferenceCreated, kReferenceModified);
  LongPathItems items;
  target_ = items.MakeFolderOfLength(folder_.Path(), 255);
  items.MakeFolder(target_ + L"\\a");
  std::wstring cut = items.MakeFile(target_ + L"\\a\\b"); // T\a\bc cut to 259 characters
  ASSERT_EQ(cut.size(), 259u);
  FILETIME old = FromTicks(kTargetTicks);
  WriteRaw(cut, &old, &old);
  WriteRaw(target_ + L"\\a", &old, &old);
  std::map<std::wstring, RawTimes> before = TargetTimes({L"a\\", L"a\\b"});

  SetFileTimeRecorder recorder;
  EXPECT_EQ(Match(IDYES, reference_, target_), 1u);
  ExpectWritten(recorder, 0x33, {L"a\\", L"a\\b"}, before, {L"a"});
}

// A Reference time that cannot be converted is kept out of the write: the counterpart must not get
// a time left over from an item matched before it.
TEST_F(MatchFoldersTest, ATimeThatCannotBeReadIsNotCopied) {
  UseOption("51");
  MakeTrees(kReferenceItems);
  MakeTree(reference_ + L"\\a", {L"g.txt"}, kReferenceCreated, kReferenceModified);
  MakeTree(target_ + L"\\a", {L"g.txt"}, kTargetTicks, kTargetTicks);
  // The later of the two files, so that the earlier one's times were read just before.
  std::vector<std::wstring> files;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((reference_ + L"\\a\\*.txt").c_str(), &found);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  do
    files.push_back(found.cFileName);
  while (FindNextFileW(find, &found));
  FindClose(find);
  ASSERT_EQ(files.size(), 2u);
  GetFileTimeOverride unconvertible(reference_ + L"\\a\\" + files[1], kUnconvertibleTicks);
  ASSERT_TRUE(unconvertible.Applied());
  SetFileTimeRecorder recorder;
  EXPECT_EQ(Match(IDYES, reference_, target_), 4u);
  std::optional<SetFileTimeCall> bad = recorder.LastFor(target_ + L"\\a\\" + files[1]);
  std::optional<SetFileTimeCall> good = recorder.LastFor(target_ + L"\\a\\" + files[0]);
  ASSERT_TRUE(bad && good);
  EXPECT_EQ(bad->created, std::nullopt);
  EXPECT_TRUE(bad->modified);
  EXPECT_TRUE(good->created);
}

} // namespace
