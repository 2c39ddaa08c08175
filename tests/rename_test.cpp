// The Rename dialog and its runs over real folders, opened by the main window's command.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "filetime/path_times.h"
#include "panes/pane_display.h"
#include "rename/rename_method.h"
#include "rename/rename_settings.h"
#include "rename/run_rename_method.h"
#include "resources/resource_ids.h"
#include "tests/support/file_times.h"
#include "tests/support/iat_patch.h"
#include "tests/support/main_window_fixture.h"

namespace {

using Names = std::vector<std::wstring>;

struct Inputs {
  int method = RenameReplace;
  const wchar_t* find = L"";
  const wchar_t* replace = L"";
  const wchar_t* filter = L"*.*";
  const wchar_t* length = L"";
};

void Set(HWND dialog, const Inputs& inputs) {
  HWND methods = GetDlgItem(dialog, IDC_RENAME_METHOD);
  SendMessageW(methods, CB_SETCURSEL, inputs.method, 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_RENAME_METHOD, CBN_SELENDOK),
               reinterpret_cast<LPARAM>(methods));
  SetDlgItemTextW(dialog, IDC_RENAME_FIND, inputs.find);
  SetDlgItemTextW(dialog, IDC_RENAME_REPLACE, inputs.replace);
  SetDlgItemTextW(dialog, IDC_RENAME_FILTER, inputs.filter);
  SetDlgItemTextW(dialog, IDC_RENAME_LENGTH, inputs.length);
}

Names Rows(HWND dialog) {
  Names rows;
  HWND list = GetDlgItem(dialog, IDC_RENAME_LIST);
  for (int i = 0; i < ListView_GetItemCount(list); ++i) {
    wchar_t text[520] = {};
    ListView_GetItemText(list, i, 0, text, 520);
    rows.push_back(text);
  }
  return rows;
}

// As the user selects a row: selected and focused.
void SelectRow(HWND dialog, int row) {
  ListView_SetItemState(GetDlgItem(dialog, IDC_RENAME_LIST), row, LVIS_SELECTED | LVIS_FOCUSED,
                        LVIS_SELECTED | LVIS_FOCUSED);
}

class Rename : public MainWindowTest {
protected:
  void SetUp() override {
    g_renameSettings = {};
    MainWindowTest::SetUp();
    ASSERT_EQ(SetPanePath(Target(), folder_.Path().c_str()), 1);
  }
  // Opens the dialog by the main window's command; the script ends it or leaves it to be closed.
  void Run(const std::function<void(HWND)>& script) {
    int before = system_.dialogs;
    system_.dialog = script;
    Command(IDM_RENAME_FILES);
    EXPECT_EQ(system_.dialogs, before + 1);
  }
  void MakeFiles(std::initializer_list<const wchar_t*> names) {
    for (const wchar_t* name : names)
      folder_.MakeFile(name);
  }
};

// Preview rows stand in listing order; Execute renames every file that gets a new name, keeps
// the folder's own time and remembers its inputs, quoted so that blanks survive.
TEST_F(Rename, TestPreviewsAndExecuteRenamesAndRemembers) {
  MakeFiles({L"abcabc.txt", L"bcbc.txt", L"plain.txt", L".bc", L"x.bc.txt"});
  std::wstring ini = folder_.MakeFile(L"Datewright.ini", "");
  lstrcpyW(State()->iniPath, ini.c_str());
  const uint64_t old = ExpectedUtcTicks(Local(2011, 5, 6, 7, 8, 9, 250));
  SetModifiedTicks(folder_.Path(), old);
  const std::map<std::wstring, std::wstring> renamed = {
      {L"abcabc.txt", L"aX aX .txt"}, {L"bcbc.txt", L"X X .txt"}, {L"x.bc.txt", L"x.X .txt"}};
  Names expected;
  for (const std::wstring& name : folder_.Listed())
    if (renamed.count(name) != 0)
      expected.push_back(name + L" -> " + renamed.at(name));
  Run([&](HWND dialog) {
    Set(dialog, {.find = L"bc", .replace = L"X ", .filter = L""});
    Press(dialog, IDC_RENAME_TEST);
    EXPECT_EQ(Rows(dialog), expected);
    Press(dialog, IDOK);
  });
  EXPECT_EQ(folder_.Sorted(), (Names{L".bc", L"Datewright.ini", L"X X .txt", L"aX aX .txt",
                                     L"plain.txt", L"x.X .txt"}));
  EXPECT_EQ(ModifiedTicks(folder_.Path()), old);
  wchar_t replace[300] = {};
  GetPrivateProfileStringW(L"Replace", L"Replace", L"", replace, 300, ini.c_str());
  EXPECT_STREQ(replace, L"X ");
  EXPECT_STREQ(g_renameSettings.filter, L"*.*");
}

// A new name is a name in this folder, never a path, and never one a file holds; a Filter with a
// separator lists nothing.
TEST_F(Rename, NothingLeavesTheFolderOrEntersASubFolder) {
  folder_.MakeFolder(L"sub");
  MakeFiles({L"abc.jpg", L"sub\\abc.jpg", L"abd.jpg"});
  // A rename never replaces a file: abd.jpg wants the name abc.jpg holds.
  std::vector<Inputs> runs = {{.method = RenameMatchEnd, .find = L"d", .replace = L"c"}};
  for (int method = RenameReplace; method <= RenameMatchEnd; ++method)
    for (const wchar_t* replace : {L"..\\x", L"sub\\x", L"../x", L"sub/x", L"x:y", L"x*", L"x?",
                                   L"x\"", L"x<", L"x>", L"x|", L"x\t"})
      runs.push_back({.method = method, .find = L"abc", .replace = replace});
  for (const wchar_t* filter : {L"sub\\*.jpg", L"sub/*.jpg", L"..\\*"})
    runs.push_back({.find = L"abc", .replace = L"x", .filter = filter});
  Run([&](HWND dialog) {
    for (const Inputs& inputs : runs) {
      Set(dialog, inputs);
      Press(dialog, IDC_RENAME_TEST);
      EXPECT_EQ(Rows(dialog).size(), inputs.find[0] == L'd') << inputs.replace << inputs.filter;
      RunRenameMethod(dialog, folder_.Path().c_str(), inputs.method, nullptr, -1);
    }
  });
  EXPECT_EQ(folder_.Sorted(), (Names{L"abc.jpg", L"abd.jpg", L"sub\\"}));
  EXPECT_EQ(folder_.Sorted(L"sub"), Names{L"abc.jpg"});
}

// Renamed files that still match must not shift the rows onto other files, in any listing order.
TEST_F(Rename, RenameItOnTheTopRowAgainAndAgainRenamesEachRowsOwnFile) {
  for (const std::vector<int>& order :
       std::vector<std::vector<int>>{{1, 2, 3, 4, 5, 6}, {6, 5, 4, 3, 2, 1}, {3, 6, 1, 4, 2, 5}}) {
    TempFolder folder;
    Names expected;
    for (int i : order) {
      folder.MakeFile(L"IMG_" + std::to_wstring(i) + L".txt");
      expected.push_back(L"IMG_2019_" + std::to_wstring(i) + L".txt");
    }
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(SetPanePath(Target(), folder.Path().c_str()), 1);
    Run([](HWND dialog) {
      Set(dialog, {.find = L"IMG_", .replace = L"IMG_2019_"});
      Press(dialog, IDC_RENAME_TEST);
      Names rows = Rows(dialog);
      EXPECT_EQ(rows.size(), 6u);
      for (size_t pressed = 1; pressed <= rows.size(); ++pressed) {
        SelectRow(dialog, 0);
        Press(dialog, IDC_RENAME_ONE);
        EXPECT_EQ(Rows(dialog), Names(rows.begin() + pressed, rows.end()));
      }
    });
    EXPECT_EQ(folder.Sorted(), expected);
  }
}

// Without a row nothing is renamed; a row whose file has gone, or whose new name the inputs no
// longer give, renames nothing and stays.
TEST_F(Rename, ARowThatNoLongerHoldsRenamesNothing) {
  MakeFiles({L"abc1.txt", L"abc2.txt"});
  Run([&](HWND dialog) {
    Set(dialog, {.find = L"abc", .replace = L"X"});
    Press(dialog, IDC_RENAME_TEST);
    Press(dialog, IDC_RENAME_ONE);
    Names rows = Rows(dialog);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(DeleteFileW(folder_.PathOf(rows[0].substr(0, 8)).c_str()));
    SelectRow(dialog, 0);
    Press(dialog, IDC_RENAME_ONE);
    SetDlgItemTextW(dialog, IDC_RENAME_REPLACE, L"Y");
    SelectRow(dialog, 1);
    Press(dialog, IDC_RENAME_ONE);
    EXPECT_EQ(Rows(dialog), rows);
    EXPECT_EQ(folder_.Listed(), Names{rows[1].substr(0, 8)});
  });
}

// The snapshot follows its files through renames: Restore gives each its own time back even
// where names moved onto each other.
TEST_F(Rename, TheSnapshotFollowsItsFilesThroughRenames) {
  const SYSTEMTIME aTime = Local(2001, 1, 1, 1, 1, 1);
  const SYSTEMTIME bTime = Local(2002, 2, 2, 2, 2, 2);
  std::wstring a = folder_.MakeFile(L"a.txt");
  std::wstring b = folder_.MakeFile(L"b.txt");
  SetPathTimes(a.c_str(), nullptr, &aTime, nullptr);
  SetPathTimes(b.c_str(), nullptr, &bTime, nullptr);
  Command(IDC_GET_ALL_MODIFIED);
  Run([](HWND dialog) { // b to c by Rename It
    Set(dialog, {.find = L"b", .replace = L"c"});
    Press(dialog, IDC_RENAME_TEST);
    SelectRow(dialog, 0);
    Press(dialog, IDC_RENAME_ONE);
  });
  Run([](HWND dialog) { // then a to b by Execute
    Set(dialog, {.find = L"a", .replace = L"b"});
    Press(dialog, IDOK);
  });
  ASSERT_EQ(folder_.Sorted(), (Names{L"b.txt", L"c.txt"}));
  SetFileTimeRecorder recorder;
  Command(IDC_RESTORE);
  EXPECT_EQ(ControlText(IDC_FOLDER_RESULT), L"2");
  EXPECT_EQ(recorder.LastFor(b).modified, ExpectedUtcTicks(aTime));
  EXPECT_EQ(recorder.LastFor(folder_.PathOf(L"c.txt")).modified, ExpectedUtcTicks(bTime));
}

size_t g_largest;
ImportPatch* g_heapAlloc;

LPVOID WINAPI CountingHeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
  g_largest = std::max(g_largest, size_t{bytes});
  return reinterpret_cast<decltype(&HeapAlloc)>(g_heapAlloc->Original())(heap, flags, bytes);
}

// What a small folder costs does not depend on the folders listed before it.
TEST_F(Rename, AListingIsSizedForTheFolderAtHand) {
  for (int i = 0; i < 300; ++i)
    folder_.MakeFile(L"f" + std::to_wstring(i) + L".txt");
  TempFolder small;
  small.MakeFile(L"f1.txt");
  Run([&](HWND dialog) {
    Set(dialog, {.find = L"f", .replace = L"g"});
    Press(dialog, IDC_RENAME_TEST);
    EXPECT_EQ(Rows(dialog).size(), 300u);
    ImportPatch patch("kernel32.dll", "HeapAlloc", reinterpret_cast<void*>(CountingHeapAlloc));
    g_heapAlloc = &patch;
    g_largest = 0;
    RunRenameMethod(dialog, small.Path().c_str(), RenameReplace,
                    GetDlgItem(dialog, IDC_RENAME_LIST), -1);
    EXPECT_LT(g_largest, 16384u);
    EXPECT_EQ(Rows(dialog), Names{L"f1.txt -> g1.txt"});
  });
}

} // namespace
