#include "rename/rename_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "base/settings.h"
#include "rename/rename_settings.h"
#include "filetime/path_times.h"
#include "panes/pane_display.h"
#include "resources/resource_ids.h"
#include "tests/rename_test_views.h"
#include "tests/support/dialog_answerer.h"
#include "tests/support/file_times.h"
#include "tests/support/iat_patch.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_pump.h"

namespace {

bool Shown(HWND dialog, int id) {
  return (GetWindowLongW(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

std::wstring Text(HWND dialog, int id) {
  return TextOf(GetDlgItem(dialog, id));
}

bool ButtonEnabled(HWND dialog, int id) {
  return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

// Chooses a method as the user does: the selection, then the notification the combo box sends.
void ChooseMethod(HWND dialog, int method) {
  HWND combo = GetDlgItem(dialog, IDC_RENAME_METHOD);
  SendMessageW(combo, CB_SETCURSEL, method, 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_RENAME_METHOD, CBN_SELENDOK),
               reinterpret_cast<LPARAM>(combo));
}

Names Rows(HWND dialog) {
  return ListRows(GetDlgItem(dialog, IDC_RENAME_LIST));
}

void SelectRow(HWND dialog, int row) {
  LVITEMW item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendDlgItemMessageW(dialog, IDC_RENAME_LIST, LVM_SETITEMSTATE, row,
                      reinterpret_cast<LPARAM>(&item));
}

RECT ClientRectOf(HWND dialog, HWND child) {
  RECT rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// A section of the settings file as stored, one "key=value" a line, in file order.
Names SectionLines(const std::wstring& ini, const wchar_t* section) {
  wchar_t buffer[2048] = {};
  GetPrivateProfileSectionW(section, buffer, ARRAYSIZE(buffer), ini.c_str());
  Names lines;
  for (const wchar_t* line = buffer; *line != L'\0'; line += lstrlenW(line) + 1)
    lines.push_back(line);
  return lines;
}

class RenameDialog : public MainWindowTest {
protected:
  void SetUp() override {
    // What a fresh process holds before the window loads the settings.
    g_renameSettings = {};
    MainWindowTest::SetUp();
    ASSERT_EQ(SetPanePath(Target(), folder_.Path().c_str()), 1);
    ASSERT_TRUE(Enabled(IDM_RENAME_FILES));
  }

  // Opens the dialog by the main window's command and hands it to answer, which must end it.
  void Run(const std::function<void(HWND)>& answer) {
    DialogAnswerer answerer(answer);
    SendMessageW(window_, WM_COMMAND, IDM_RENAME_FILES, 0);
    ASSERT_EQ(answerer.Count(), 1u);
    EXPECT_EQ(answerer.Seen()[0].caption, L"Rename");
    EXPECT_EQ(answerer.Seen()[0].owner, window_);
  }

  // A settings file in use, as if it had been beside the executable at start.
  std::wstring UseSettingsFile() {
    std::wstring ini = folder_.MakeFile(L"settings\\..\\Datewright.ini", "");
    lstrcpyW(State()->iniPath, ini.c_str());
    return ini;
  }

  Names Current() const { return NamesIn(folder_.Path()); }

  // An old whole-millisecond Modified time on the folder, so a change by the renames shows.
  uint64_t AgeFolder() {
    const uint64_t old = ExpectedUtcTicks(Local(2011, 5, 6, 7, 8, 9, 250));
    FILETIME time = FromTicks(old);
    WriteRaw(folder_.Path(), nullptr, &time);
    return old;
  }
  uint64_t FolderModified() const { return Ticks(ReadRaw(folder_.Path()).modified); }

  TempFolder folder_;
};

TEST_F(RenameDialog, OpensWithTheDefaultsWithoutASettingsFile) {
  ASSERT_STREQ(State()->iniPath, L"");
  Run([](HWND dialog) {
    EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_RENAME_METHOD, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(Text(dialog, IDC_RENAME_METHOD), L"Replace");
    const wchar_t* methods[] = {L"Replace",
                                L"Replace (First One)",
                                L"Replace (Match Begin)",
                                L"Replace (Match End)",
                                L"Length",
                                L"Remove"};
    ASSERT_EQ(SendDlgItemMessageW(dialog, IDC_RENAME_METHOD, CB_GETCOUNT, 0, 0), 6);
    for (int i = 0; i < 6; ++i) {
      wchar_t text[64] = {};
      SendDlgItemMessageW(dialog, IDC_RENAME_METHOD, CB_GETLBTEXT, i,
                          reinterpret_cast<LPARAM>(text));
      EXPECT_STREQ(text, methods[i]);
    }
    EXPECT_EQ(Text(dialog, IDC_RENAME_FILTER), L"*.*");
    EXPECT_EQ(Text(dialog, IDC_RENAME_FIND), L"");
    EXPECT_EQ(Text(dialog, IDC_RENAME_REPLACE), L"");
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_RENAME_CASE_SENSITIVE), BST_UNCHECKED);
    EXPECT_EQ(Text(dialog, IDC_RENAME_LENGTH), L"0");
    EXPECT_FALSE(Shown(dialog, IDC_RENAME_LENGTH));
    EXPECT_FALSE(Shown(dialog, IDC_RENAME_LENGTH_LABEL));
    EXPECT_TRUE(Rows(dialog).empty());
    EXPECT_FALSE(ButtonEnabled(dialog, IDC_RENAME_ONE));
    // One column, a little narrower than the list.
    HWND list = GetDlgItem(dialog, IDC_RENAME_LIST);
    RECT rect;
    GetWindowRect(list, &rect);
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), rect.right - rect.left - 4);
    EXPECT_TRUE(PressButton(dialog, IDCANCEL));
  });
}

TEST_F(RenameDialog, EachMethodShowsOnlyItsInputs) {
  // Case Sensitive, Find, Replace, Find label, Replace label, Length, Length label.
  const int ids[] = {IDC_RENAME_CASE_SENSITIVE, IDC_RENAME_FIND,          IDC_RENAME_REPLACE,
                     IDC_RENAME_FIND_LABEL,     IDC_RENAME_REPLACE_LABEL, IDC_RENAME_LENGTH,
                     IDC_RENAME_LENGTH_LABEL};
  struct Visibility {
    int method;
    bool shown[7];
  };
  const Visibility rows[] = {
      {0, {true, true, true, true, true, false, false}},
      {1, {true, true, true, true, true, false, false}},
      {2, {true, true, true, true, true, false, false}},
      {3, {true, true, true, true, true, false, false}},
      {4, {false, false, false, false, false, true, true}},
      {5, {true, true, false, true, false, true, true}},
  };
  Run([&](HWND dialog) {
    for (const Visibility& row : rows) {
      ChooseMethod(dialog, row.method);
      for (size_t i = 0; i < std::size(ids); ++i)
        EXPECT_EQ(Shown(dialog, ids[i]), row.shown[i]) << "method " << row.method << ", " << ids[i];
      for (int id : {IDC_RENAME_METHOD, IDC_RENAME_FILTER, IDC_RENAME_LIST, IDOK, IDCANCEL,
                     IDC_RENAME_TEST, IDC_RENAME_ONE})
        EXPECT_TRUE(Shown(dialog, id)) << "method " << row.method << ", " << id;
    }
    // A number above 5 hides them all; the procedure is asked directly, since the list has no
    // such entry.
    ShowMethodControls(dialog, 6);
    for (int id : ids)
      EXPECT_FALSE(Shown(dialog, id)) << id;
    EXPECT_TRUE(PressButton(dialog, IDCANCEL));
  });
  EXPECT_EQ(g_renameSettings.method, 0); // choosing is not remembering
}

TEST_F(RenameDialog, EnterInTheFindBoxRunsExecute) {
  folder_.MakeFile(L"abcabc.txt");
  folder_.MakeFile(L"plain.txt");
  Run([](HWND dialog) {
    SetDlgItemTextW(dialog, IDC_RENAME_FIND, L"bc");
    SetDlgItemTextW(dialog, IDC_RENAME_REPLACE, L"X");
    HWND find = GetDlgItem(dialog, IDC_RENAME_FIND);
    SetFocus(find);
    // Through the dialog's own message loop, as a key press comes.
    PostMessageW(find, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(find, WM_KEYUP, VK_RETURN, 0);
  });
  EXPECT_EQ(Current(), (Names{L"aXaX.txt", L"plain.txt"}));
  EXPECT_STREQ(g_renameSettings.find, L"bc");
  EXPECT_STREQ(g_renameSettings.replace, L"X");
  // No settings file was in use, and none was made.
  wchar_t module[MAX_PATH];
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring beside = module;
  beside = beside.substr(0, beside.rfind(L'\\') + 1) + L"Datewright.ini";
  EXPECT_EQ(GetFileAttributesW(beside.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(RenameDialog, ExecuteWritesTheReplaceSettingsQuotedInOrder) {
  std::wstring ini = UseSettingsFile();
  folder_.MakeFile(L" bc1.txt");
  Run([](HWND dialog) {
    ChooseMethod(dialog, 1);
    SetDlgItemTextW(dialog, IDC_RENAME_FILTER, L"");
    SetDlgItemTextW(dialog, IDC_RENAME_FIND, L" bc");
    SetDlgItemTextW(dialog, IDC_RENAME_REPLACE, L"X ");
    CheckDlgButton(dialog, IDC_RENAME_CASE_SENSITIVE, BST_CHECKED);
    SetDlgItemTextW(dialog, IDC_RENAME_LENGTH, L"7");
    EXPECT_TRUE(PressButton(dialog, IDOK));
  });
  EXPECT_EQ(SectionLines(ini, L"Rename"), (Names{L"Method=1", L"Filter=\"*.*\""}));
  EXPECT_EQ(SectionLines(ini, L"Replace"),
            (Names{L"CaseSensitive=1", L"Find=\" bc\"", L"Replace=\"X \""}));
  EXPECT_EQ(g_renameSettings.method, 1);
  EXPECT_STREQ(g_renameSettings.filter, L"*.*");
  EXPECT_EQ(g_renameSettings.caseSensitive, 1);
  EXPECT_STREQ(g_renameSettings.find, L" bc");
  EXPECT_STREQ(g_renameSettings.replace, L"X ");
  EXPECT_EQ(Current(), (Names{L"Datewright.ini", L"X 1.txt"}));
}

TEST_F(RenameDialog, ExecuteWritesLengthRawAndReopensWithTheLengthLoadedAtStart) {
  std::wstring ini = UseSettingsFile();
  g_renameSettings.length = 3; // as loaded at start
  folder_.MakeFile(L"abcdefghij.txt");
  Run([](HWND dialog) {
    ChooseMethod(dialog, 4);
    SetDlgItemTextW(dialog, IDC_RENAME_FILTER, L"*.txt");
    SetDlgItemTextW(dialog, IDC_RENAME_LENGTH, L"8");
    EXPECT_TRUE(PressButton(dialog, IDOK));
  });
  EXPECT_EQ(SectionLines(ini, L"Rename"), (Names{L"Method=4", L"Filter=\"*.txt\"", L"Length=8"}));
  EXPECT_EQ(SectionLines(ini, L"Replace"), Names{});
  EXPECT_EQ(Current(), (Names{L"Datewright.ini", L"abcdefgh.txt"}));
  Run([](HWND dialog) {
    EXPECT_EQ(Text(dialog, IDC_RENAME_LENGTH), L"3");
    EXPECT_EQ(Text(dialog, IDC_RENAME_METHOD), L"Length");
    EXPECT_EQ(Text(dialog, IDC_RENAME_FILTER), L"*.txt");
    // Remove writes Find and Case Sensitive, then the Length as typed, unchecked.
    ChooseMethod(dialog, 5);
    SetDlgItemTextW(dialog, IDC_RENAME_FIND, L"zz");
    SetDlgItemTextW(dialog, IDC_RENAME_LENGTH, L"2x");
    EXPECT_TRUE(PressButton(dialog, IDOK));
  });
  EXPECT_EQ(SectionLines(ini, L"Rename"), (Names{L"Method=5", L"Filter=\"*.txt\"", L"Length=2x"}));
  EXPECT_EQ(SectionLines(ini, L"Replace"), (Names{L"CaseSensitive=0", L"Find=\"zz\""}));
  EXPECT_EQ(g_renameSettings.length, 3);
}

TEST_F(RenameDialog, TestThenRenameItRenamesThatRowAndKeepsTheFolderTime) {
  folder_.MakeFile(L"abc1.txt");
  folder_.MakeFile(L"zzz.txt");
  folder_.MakeFile(L"abc2.txt");
  uint64_t old = AgeFolder();
  std::wstring renamedFrom;
  Run([&](HWND dialog) {
    SetDlgItemTextW(dialog, IDC_RENAME_FIND, L"abc");
    SetDlgItemTextW(dialog, IDC_RENAME_REPLACE, L"X");
    EXPECT_TRUE(PressButton(dialog, IDC_RENAME_TEST));
    Names rows = Rows(dialog);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_FALSE(ButtonEnabled(dialog, IDC_RENAME_ONE));
    SelectRow(dialog, 1);
    EXPECT_TRUE(ButtonEnabled(dialog, IDC_RENAME_ONE));
    renamedFrom = rows[1].substr(0, rows[1].find(L" -> "));
    EXPECT_TRUE(PressButton(dialog, IDC_RENAME_ONE));
    EXPECT_EQ(Rows(dialog), Names{rows[0]});
    EXPECT_FALSE(ButtonEnabled(dialog, IDC_RENAME_ONE));
    // The command without a row does nothing; the run would otherwise rename every file.
    SendMessageW(dialog, WM_COMMAND, IDC_RENAME_ONE, 0);
    EXPECT_TRUE(PressButton(dialog, IDCANCEL));
  });
  Names expected = {L"abc1.txt", L"abc2.txt", L"zzz.txt"};
  expected.erase(std::find(expected.begin(), expected.end(), renamedFrom));
  expected.push_back(L"X" + renamedFrom.substr(3));
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Current(), expected);
  EXPECT_EQ(FolderModified(), old);
}

// Renamed files that still match must not shift the rows onto other files.
TEST_F(RenameDialog, RenameItOnTheTopRowAgainAndAgainRenamesEachRowsOwnFile) {
  const std::vector<std::vector<int>> orders = {
      {1, 2, 3, 4, 5, 6}, {6, 5, 4, 3, 2, 1}, {3, 6, 1, 4, 2, 5}};
  for (const std::vector<int>& order : orders) {
    TempFolder folder;
    Names expected;
    for (int i : order) {
      folder.MakeFile(L"IMG_" + std::to_wstring(i) + L".txt");
      expected.push_back(L"IMG_2019_" + std::to_wstring(i) + L".txt");
    }
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(SetPanePath(Target(), folder.Path().c_str()), 1);
    Run([](HWND dialog) {
      SetDlgItemTextW(dialog, IDC_RENAME_FIND, L"IMG_");
      SetDlgItemTextW(dialog, IDC_RENAME_REPLACE, L"IMG_2019_");
      EXPECT_TRUE(PressButton(dialog, IDC_RENAME_TEST));
      Names rows = Rows(dialog);
      EXPECT_EQ(rows.size(), 6u);
      for (size_t pressed = 1; pressed <= rows.size(); ++pressed) {
        SelectRow(dialog, 0);
        EXPECT_TRUE(PressButton(dialog, IDC_RENAME_ONE));
        EXPECT_EQ(Rows(dialog), Names(rows.begin() + pressed, rows.end()));
      }
      EXPECT_TRUE(PressButton(dialog, IDCANCEL));
    });
    EXPECT_EQ(NamesIn(folder.Path()), expected);
  }
}

TEST_F(RenameDialog, ARowWhoseFileHasGoneRenamesNothingAndStays) {
  folder_.MakeFile(L"abc1.txt");
  folder_.MakeFile(L"abc2.txt");
  std::wstring kept;
  Run([&](HWND dialog) {
    SetDlgItemTextW(dialog, IDC_RENAME_FIND, L"abc");
    SetDlgItemTextW(dialog, IDC_RENAME_REPLACE, L"X");
    EXPECT_TRUE(PressButton(dialog, IDC_RENAME_TEST));
    Names rows = Rows(dialog);
    ASSERT_EQ(rows.size(), 2u);
    std::wstring gone = rows[0].substr(0, rows[0].find(L" -> "));
    kept = rows[1].substr(0, rows[1].find(L" -> "));
    EXPECT_TRUE(DeleteFileW(folder_.PathOf(gone).c_str()));
    SelectRow(dialog, 0);
    EXPECT_TRUE(PressButton(dialog, IDC_RENAME_ONE));
    EXPECT_EQ(Rows(dialog), rows);
    EXPECT_TRUE(PressButton(dialog, IDCANCEL));
  });
  EXPECT_EQ(Current(), Names{kept});
}

// Renames in the snapshotted folder take the snapshot's records along, so Restore gives each file
// its own time back even where names moved onto each other.
TEST_F(RenameDialog, TheSnapshotFollowsItsFilesThroughRenames) {
  const SYSTEMTIME aTime = Local(2001, 1, 1, 1, 1, 1);
  const SYSTEMTIME bTime = Local(2002, 2, 2, 2, 2, 2);
  std::wstring a = folder_.MakeFile(L"a.txt");
  std::wstring b = folder_.MakeFile(L"b.txt");
  ASSERT_EQ(SetPathTimes(a.c_str(), nullptr, &aTime, nullptr), 1);
  ASSERT_EQ(SetPathTimes(b.c_str(), nullptr, &bTime, nullptr), 1);
  SendMessageW(window_, WM_COMMAND, IDC_GET_ALL_MODIFIED, 0);
  ASSERT_EQ(ControlText(IDC_SNAPSHOT_COUNT), L"2");
  // b to c by Rename It, then a to b by Execute.
  Run([](HWND dialog) {
    SetDlgItemTextW(dialog, IDC_RENAME_FIND, L"b");
    SetDlgItemTextW(dialog, IDC_RENAME_REPLACE, L"c");
    EXPECT_TRUE(PressButton(dialog, IDC_RENAME_TEST));
    SelectRow(dialog, 0);
    EXPECT_TRUE(PressButton(dialog, IDC_RENAME_ONE));
    EXPECT_TRUE(PressButton(dialog, IDCANCEL));
  });
  Run([](HWND dialog) {
    SetDlgItemTextW(dialog, IDC_RENAME_FIND, L"a");
    SetDlgItemTextW(dialog, IDC_RENAME_REPLACE, L"b");
    EXPECT_TRUE(PressButton(dialog, IDOK));
  });
  ASSERT_EQ(Current(), (Names{L"b.txt", L"c.txt"}));
  SetFileTimeRecorder recorder;
  ASSERT_TRUE(recorder.Applied());
  SendMessageW(window_, WM_COMMAND, IDC_RESTORE, 0);
  EXPECT_EQ(ControlText(IDC_FOLDER_RESULT), L"2");
  std::optional<SetFileTimeCall> toB = recorder.LastFor(b);
  std::optional<SetFileTimeCall> toC = recorder.LastFor(folder_.PathOf(L"c.txt"));
  ASSERT_TRUE(toB && toC);
  EXPECT_EQ(toB->modified, ExpectedUtcTicks(aTime));
  EXPECT_EQ(toC->modified, ExpectedUtcTicks(bTime));
}

TEST_F(RenameDialog, ClickingEmptySpaceKeepsRenameItOnTheLastRow) {
  folder_.MakeFile(L"abc1.txt");
  folder_.MakeFile(L"abc2.txt");
  Run([](HWND dialog) {
    SetDlgItemTextW(dialog, IDC_RENAME_FIND, L"abc");
    SetDlgItemTextW(dialog, IDC_RENAME_REPLACE, L"X");
    EXPECT_TRUE(PressButton(dialog, IDC_RENAME_TEST));
    ASSERT_EQ(Rows(dialog).size(), 2u);
    SelectRow(dialog, 0);
    HWND list = GetDlgItem(dialog, IDC_RENAME_LIST);
    RECT client;
    GetClientRect(list, &client);
    LPARAM below = MAKELPARAM(5, client.bottom - 3); // far below the two rows
    PostMessageW(list, WM_LBUTTONUP, 0, below);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, below);
    PumpPending();
    EXPECT_EQ(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), 0);
    EXPECT_TRUE(ButtonEnabled(dialog, IDC_RENAME_ONE));
    // A second Test forgets the row.
    EXPECT_TRUE(PressButton(dialog, IDC_RENAME_TEST));
    EXPECT_FALSE(ButtonEnabled(dialog, IDC_RENAME_ONE));
    EXPECT_TRUE(PressButton(dialog, IDCANCEL));
  });
  EXPECT_EQ(Current(), (Names{L"abc1.txt", L"abc2.txt"}));
}

TEST_F(RenameDialog, ExecuteKeepsTheFolderModifiedTime) {
  folder_.MakeFile(L"abc.txt");
  // Without the dialog, a rename moves the folder's time: the check below means something.
  TempFolder plain;
  std::wstring file = plain.MakeFile(L"abc.txt");
  const uint64_t plainOld = ExpectedUtcTicks(Local(2011, 5, 6, 7, 8, 9, 250));
  FILETIME time = FromTicks(plainOld);
  WriteRaw(plain.Path(), nullptr, &time);
  ASSERT_TRUE(MoveFileW(file.c_str(), plain.PathOf(L"X.txt").c_str()));
  ASSERT_NE(Ticks(ReadRaw(plain.Path()).modified), plainOld);

  uint64_t old = AgeFolder();
  Run([](HWND dialog) {
    SetDlgItemTextW(dialog, IDC_RENAME_FIND, L"abc");
    SetDlgItemTextW(dialog, IDC_RENAME_REPLACE, L"X");
    EXPECT_TRUE(PressButton(dialog, IDOK));
  });
  EXPECT_EQ(Current(), Names{L"X.txt"});
  EXPECT_EQ(FolderModified(), old);
}

TEST_F(RenameDialog, GrowsWithTheListAndNeverShrinksBelowItsStart) {
  Run([](HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_RENAME_LIST);
    RECT client;
    GetClientRect(dialog, &client);
    RECT listBefore = ClientRectOf(dialog, list);
    RECT other = ClientRectOf(dialog, GetDlgItem(dialog, IDC_RENAME_TEST));

    MINMAXINFO info = {};
    SendMessageW(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    int frame = GetSystemMetrics(SM_CXPADDEDBORDER) + GetSystemMetrics(SM_CXFRAME);
    EXPECT_EQ(info.ptMinTrackSize.x, client.right + 2 * frame);
    EXPECT_EQ(info.ptMinTrackSize.y, client.bottom + 2 * frame + GetSystemMetrics(SM_CYCAPTION));

    RECT window;
    GetWindowRect(dialog, &window);
    SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left + 100,
                 window.bottom - window.top + 60, SWP_NOMOVE | SWP_NOZORDER);
    RECT listAfter = ClientRectOf(dialog, list);
    EXPECT_EQ(listAfter.left, listBefore.left);
    EXPECT_EQ(listAfter.top, listBefore.top);
    EXPECT_EQ(listAfter.right, listBefore.right + 100);
    EXPECT_EQ(listAfter.bottom, listBefore.bottom + 60);
    RECT listClient;
    GetClientRect(list, &listClient);
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), listClient.right);
    RECT otherAfter = ClientRectOf(dialog, GetDlgItem(dialog, IDC_RENAME_TEST));
    EXPECT_TRUE(EqualRect(&other, &otherAfter));

    SetWindowPos(dialog, nullptr, 0, 0, 40, 40, SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(dialog, &window);
    EXPECT_GE(window.right - window.left, info.ptMinTrackSize.x);
    EXPECT_GE(window.bottom - window.top, info.ptMinTrackSize.y);
    EXPECT_TRUE(PressButton(dialog, IDCANCEL));
  });
}

// A remembered method outside 0 to 5 selects nothing: the buttons do nothing until one is chosen.
TEST_F(RenameDialog, WithoutAMethodTheButtonsWaitForOne) {
  folder_.MakeFile(L"abc.txt");
  g_renameSettings.method = 9;
  Run([this](HWND dialog) {
    EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_RENAME_METHOD, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_FALSE(Shown(dialog, IDC_RENAME_FIND));
    EXPECT_FALSE(Shown(dialog, IDC_RENAME_LENGTH));
    SetDlgItemTextW(dialog, IDC_RENAME_FIND, L"abc");
    SetDlgItemTextW(dialog, IDC_RENAME_REPLACE, L"X");
    EXPECT_TRUE(PressButton(dialog, IDC_RENAME_TEST));
    EXPECT_TRUE(Rows(dialog).empty());
    EXPECT_TRUE(PressButton(dialog, IDOK));
    EXPECT_TRUE(IsWindowVisible(dialog)); // EndDialog would have hidden it
    EXPECT_EQ(Current(), Names{L"abc.txt"});
    ChooseMethod(dialog, 0);
    EXPECT_TRUE(Shown(dialog, IDC_RENAME_FIND));
    EXPECT_TRUE(PressButton(dialog, IDOK));
  });
  EXPECT_EQ(Current(), Names{L"X.txt"});
  EXPECT_EQ(g_renameSettings.method, 0);
}

TEST_F(RenameDialog, TheButtonAndTheSystemMenuItemOpenIt) {
  for (bool fromMenu : {false, true}) {
    DialogAnswerer answerer([](HWND dialog) { EXPECT_TRUE(PressButton(dialog, IDCANCEL)); });
    if (fromMenu)
      SendMessageW(window_, WM_SYSCOMMAND, IDM_RENAME_FILES, 0);
    else
      EXPECT_TRUE(PressButton(window_, IDM_RENAME_FILES));
    ASSERT_EQ(answerer.Count(), 1u) << (fromMenu ? "system menu" : "button");
    EXPECT_EQ(answerer.Seen()[0].caption, L"Rename");
  }
}

// Before Windows Vista the dialog is made from a copy of its template with another face.
BOOL WINAPI OlderWindows(OSVERSIONINFOEXW*, DWORD, DWORDLONG) {
  SetLastError(ERROR_OLD_WIN_VERSION);
  return FALSE;
}

TEST_F(RenameDialog, OlderWindowsGetTheGothicFace) {
  ImportPatch patch("kernel32.dll", "VerifyVersionInfoW", reinterpret_cast<void*>(OlderWindows));
  ASSERT_TRUE(patch.Applied());
  Run([](HWND dialog) {
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof(font),
               &font);
    EXPECT_STREQ(font.lfFaceName, L"MS UI Gothic");
    EXPECT_EQ(Text(dialog, IDC_RENAME_FILTER), L"*.*"); // the same procedure runs it
    EXPECT_TRUE(PressButton(dialog, IDCANCEL));
  });
}

} // namespace
