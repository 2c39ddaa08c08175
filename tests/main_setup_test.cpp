#include "app/main_setup.h"

#include <gtest/gtest.h>

#include <string>

#include "app/load_dialog_template.h"
#include "panes/pane_time.h"
#include "resources/resource_ids.h"
#include "tests/support/file_times.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/temp_folder.h"

namespace {

using MainSetup = MainWindowTest;

TEST_F(MainSetup, TakesTheFirstArgumentThatIsNoOptionAsTarget) {
  TempFolder folder;
  folder.MakeFolder(L"My Photos");
  std::wstring photo = folder.MakeFile(L"My Photos\\a.jpg");
  std::wstring commandLine = L"Datewright.exe /x \"" + photo + L"\" " + folder.PathOf(L"b.jpg");
  Open(commandLine.c_str());
  EXPECT_EQ(PanePath(Target()), photo);
  EXPECT_EQ(PanePath(Reference()), L"");
  EXPECT_EQ(TextOf(window_), L"a.jpg - Datewright");

  Open(L"Datewright.exe -v");
  EXPECT_EQ(PanePath(Target()), L"");
  EXPECT_EQ(TextOf(window_), L"Datewright 2.10.1.32");
}

// A relative Target names the file in the current directory at start, whatever happens later.
TEST_F(MainSetup, ARelativeTargetStaysTheFileItNamed) {
  TempFolder first;
  TempFolder second;
  std::wstring named = first.MakeFile(L"a.jpg");
  std::wstring other = second.MakeFile(L"a.jpg");
  wchar_t saved[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, saved);
  SetCurrentDirectoryW(first.Path().c_str());
  Open(L"Datewright.exe a.jpg");
  SetCurrentDirectoryW(second.Path().c_str());
  RawTimes before = ReadRaw(other);
  WritePaneTime(Target(), PaneTime::Modified, Local(2004, 4, 4, 4, 4, 4));
  SendMessageW(window_, WM_COMMAND, IDC_APPLY_MODIFIED, 0);
  SetCurrentDirectoryW(saved);
  EXPECT_EQ(PanePath(Target()), named);
  EXPECT_EQ(ControlText(IDC_APPLY_RESULT), L"OK");
  EXPECT_EQ(Ticks(ReadRaw(named).modified), ExpectedUtcTicks(Local(2004, 4, 4, 4, 4, 4)));
  EXPECT_EQ(Ticks(ReadRaw(other).modified), Ticks(before.modified));
}

TEST_F(MainSetup, PanesLieOverTheirPlaceholdersInSegoeUi) {
  const std::pair<HWND, int> panes[] = {{Target(), IDC_TARGET_PLACEHOLDER},
                                        {Reference(), IDC_REFERENCE_PLACEHOLDER}};
  for (const auto& [pane, placeholderId] : panes) {
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(GetParent(pane), window_);
    EXPECT_NE(GetWindowLongW(pane, GWL_STYLE) & WS_VISIBLE, 0);
    RECT paneRect;
    RECT placeholderRect;
    GetWindowRect(pane, &paneRect);
    GetWindowRect(GetDlgItem(window_, placeholderId), &placeholderRect);
    EXPECT_TRUE(EqualRect(&paneRect, &placeholderRect)) << placeholderId;
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(pane, WM_GETFONT, 0, 0)), sizeof(font), &font);
    EXPECT_STREQ(font.lfFaceName, L"Segoe UI");
  }
  EXPECT_NE(Target(), Reference());
}

uint32_t ResourceSize(int id) {
  HMODULE module = GetModuleHandleW(nullptr);
  return SizeofResource(module, FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG));
}

TEST(LoadDialogTemplate, ExchangesTheFontOfTheShippedTemplates) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  struct Case {
    int id;
    const wchar_t* face;
    uint32_t faceBytes;
    int sizeChange;
  };
  const Case cases[] = {{IDD_PATH_PANE, L"Segoe UI", 18, -8}, {IDD_RENAME, L"MS UI Gothic", 26, 8}};
  for (const Case& c : cases) {
    TemplateOptions options = {};
    options.faceName = c.face;
    options.faceNameBytes = c.faceBytes;
    DLGTEMPLATE* copy = LoadDialogTemplate(instance, c.id, &options);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(static_cast<int>(options.resultLength),
              static_cast<int>(ResourceSize(c.id)) + c.sizeChange);
    TemplateFont font;
    auto* bytes = reinterpret_cast<const uint8_t*>(copy);
    ASSERT_TRUE(FindTemplateFont(bytes, options.resultLength, &font));
    EXPECT_EQ(font.faceBytes, c.faceBytes);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(bytes + font.faceAt)), c.face);
    EXPECT_EQ(bytes[font.pointSizeAt], 9);
    HeapFree(GetProcessHeap(), 0, copy);
  }
  TemplateOptions options = {};
  EXPECT_EQ(LoadDialogTemplate(instance, 999, &options), nullptr);
}

TEST(IsVistaOrLater, AgreesWithTheReportedVersion) {
  using RtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
  auto getVersion = reinterpret_cast<RtlGetVersion>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  ASSERT_NE(getVersion, nullptr);
  OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  ASSERT_EQ(getVersion(&version), 0);
  EXPECT_EQ(IsVistaOrLater(), version.dwMajorVersion >= 6);
}

} // namespace
