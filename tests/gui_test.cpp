// The main window, its panes and the Rename dialog, driven as the user drives them, with the
// system's dialogs answered by script; and the built program as a user starts it.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <map>
#include <optional>
#include <sstream>
#include <tuple>

#include "app/main_window.h"
#include "base/handles.h"
#include "panes/drop_target.h"
#include "panes/pane_display.h"
#include "panes/pane_time.h"
#include "panes/path_pane.h"
#include "rename/preview_rows.h"
#include "rename/rename_method.h"
#include "rename/rename_settings.h"
#include "rename/run_rename_method.h"
#include "resources/resource_ids.h"
#include "tests/support/file_times.h"
#include "tests/support/iat_patch.h"
#include "tests/support/media_builder.h"
#include "tests/support/scripted_system.h"
#include "tests/support/temp_folder.h"

namespace {

std::wstring TextOf(HWND window) {
  wchar_t text[400] = {};
  GetWindowTextW(window, text, ARRAYSIZE(text));
  return text;
}

// Every item under a folder of the TempFolder, at any depth, sorted; folders end in a backslash.
std::wstring Tree(const TempFolder& folder, const std::wstring& under = L"") {
  std::wstring tree;
  for (const std::wstring& name : folder.Listed(under)) {
    std::wstring item = under.empty() ? name : under + L"\\" + name;
    tree +=
        item + L" " + (item.back() == L'\\' ? Tree(folder, item.substr(0, item.size() - 1)) : L"");
  }
  return tree;
}

// Makes the items "name year ..." (a name ending in a backslash a folder), each Modified At(year)
// unless the year is 0, folders after what they hold.
void MakeTree(TempFolder& folder, const std::wstring& items) {
  std::wistringstream in(items);
  std::vector<std::pair<std::wstring, WORD>> made;
  for (std::pair<std::wstring, WORD> item; in >> item.first >> item.second;)
    made.push_back({folder.MakeFile(item.first), item.second});
  for (auto item = made.rbegin(); item != made.rend(); ++item)
    if (item->second != 0)
      SetModifiedTicks(item->first, ExpectedUtcTicks(At(item->second)));
}

// The real main window, made in this process from the templates linked into the test exe, with
// the system's dialogs and keys scripted and a fresh folder to work in.
class MainWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    static const bool registered = RegisterMainWindowClass(GetModuleHandleW(nullptr));
    ASSERT_TRUE(registered);
    ExpectEachDate(false);
    Open(L"Datewright.exe");
  }
  void TearDown() override {
    if (IsWindow(window_))
      DestroyWindow(window_);
    // Whatever the window posted (the quit message, a snapshot command) goes with it.
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);)
      ;
  }
  void Open(const wchar_t* commandLine) {
    TearDown();
    window_ = CreateMainWindow(GetModuleHandleW(nullptr), commandLine);
    ASSERT_NE(window_, nullptr);
  }
  void Command(int id) { SendMessageW(window_, WM_COMMAND, id, 0); }
  MainState* State() const { return GetMainState(window_); }
  HWND Target() const { return State()->target.paneWindow; }
  HWND Reference() const { return State()->reference.paneWindow; }
  std::wstring Modified(HWND pane) { return Shown(ReadPaneTime(pane, PaneTime::Modified)); }
  std::wstring Pickers(HWND pane) {
    return L"C" + Shown(ReadPaneTime(pane, PaneTime::Created)) + L" M" + Modified(pane);
  }
  std::wstring ControlText(int id) const { return TextOf(GetDlgItem(window_, id)); }
  std::wstring PanePath(HWND pane) const { return TextOf(GetDlgItem(pane, IDC_PANE_PATH)); }
  bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(window_, id)) != FALSE; }
  UINT MenuState(UINT id) {
    SendMessageW(window_, WM_INITMENU, reinterpret_cast<WPARAM>(State()->systemMenu), 0);
    return GetMenuState(State()->systemMenu, id, MF_BYCOMMAND);
  }
  bool MenuEnabled(UINT id) { return (MenuState(id) & MF_GRAYED) == 0; }
  // The three result boxes, "Apply|count|result", and the buttons that come and go.
  std::wstring Seen() const {
    std::wstring seen = ControlText(IDC_APPLY_RESULT) + L"|" + ControlText(IDC_SNAPSHOT_COUNT) +
                        L"|" + ControlText(IDC_FOLDER_RESULT);
    const std::pair<int, const wchar_t*> buttons[] = {
        {IDC_GET_ALL_MODIFIED, L" get"},   {IDC_RESTORE, L" restore"},
        {IDC_CLEANUP, L" cleanup"},        {IDM_RENAME_FILES, L" rename"},
        {IDC_EXIF_TO_CREATED, L" exif-c"}, {IDC_EXIF_TO_MODIFIED, L" exif-m"}};
    for (auto [id, name] : buttons)
      seen += Enabled(id) ? name : L"";
    return seen;
  }
  // A settings file in use, UTF-16 with its byte-order mark, outside the folder worked in; none
  // for a null text.
  std::wstring Ini(const wchar_t* text) {
    std::wstring ini, content = L"\uFEFF" + std::wstring(text != nullptr ? text : L"");
    if (text != nullptr)
      ini = home_.MakeFile(
          L"Datewright.ini",
          std::string(reinterpret_cast<const char*>(content.data()), content.size() * 2));
    lstrcpyW(State()->iniPath, ini.c_str());
    return ini;
  }
  std::wstring Setting(const wchar_t* section, const wchar_t* key) {
    wchar_t value[300] = {};
    GetPrivateProfileStringW(section, key, L"", value, 300, State()->iniPath);
    return value;
  }

  ScriptedSystem system_;
  TempFolder folder_, home_;
  HWND window_ = nullptr;
};

void SetPicker(HWND pane, int id, const SYSTEMTIME& time) {
  SendDlgItemMessageW(pane, id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

using MainCommands = MainWindowTest;

std::wstring g_modulePath; // where the program finds itself, and so its settings file
DWORD WINAPI ScriptedModulePath(HMODULE, LPWSTR path, DWORD capacity) {
  return lstrcpynW(path, g_modulePath.c_str(), int(capacity)), DWORD(g_modulePath.size());
}

// Apply writes the Target named on the command line, made whole at start whatever the current
// directory later, with the day of the date picker and the time of day of the time picker, in
// the slots its button names; options name no Target. The other commands fill one Target
// picker pair, date and time, from their source and write nothing: Apply Both then shows it.
// So under either rule of the system menu's switch, which the settings file holds from start to
// start: each turn of it keeps it there and shows both panes' times again (a date of each half of
// the year), the Exif dates unchanged.
TEST_F(MainCommands, ApplyWritesWhatTheTargetPickersShow) {
  MakeTree(folder_, L"a.jpg 2000 b.jpg 0");
  std::wstring file = folder_.PathOf(L"a.jpg"), winter = folder_.PathOf(L"b.jpg");
  SetModifiedTicks(winter, FileTicks(file) + 183 * 864000000000);
  TempFolder elsewhere;
  elsewhere.MakeFile(L"a.jpg");
  wchar_t saved[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, saved);
  SetCurrentDirectoryW(folder_.Path().c_str());
  Ini(L"[General]\r\nEachDatesDaylightSaving=1");
  g_modulePath = home_.PathOf(L"Datewright.exe");
  ImportPatch module("kernel32.dll", "GetModuleFileNameW", ScriptedModulePath);
  Open(L"Datewright.exe /x -y a.jpg b.jpg");
  SetCurrentDirectoryW(elsewhere.Path().c_str());
  ASSERT_TRUE(SetPanePath(Reference(), winter.c_str()) && ShowPaneTimes(Reference(), nullptr));
  State()->exifDates = {At(2021), At(2022), {}};
  const std::wstring c = L"2001-02-03 04:05:06.000", m = L"2005-06-07 08:09:10.000",
                     reference = L"C2011-01-02 03:04:05.000 M2012-06-07 08:09:10.000";
  const std::pair<int, std::wstring> rows[] = {
      {IDC_APPLY_CREATED, L"C" + c + L" M-"},
      {IDC_APPLY_MODIFIED, L"C- M" + m},
      {IDC_APPLY_BOTH, L"C" + c + L" M" + m},
      {IDC_REFERENCE_TO_CREATED, reference.substr(0, 25) + L"M" + m},
      {IDC_REFERENCE_TO_MODIFIED, L"C" + c + reference.substr(24)},
      {IDC_MODIFIED_TO_CREATED, L"C" + m + L" M" + m},
      {IDC_CREATED_TO_MODIFIED, L"C" + c + L" M" + c},
      {IDC_EXIF_TO_CREATED, L"C2022 M" + m},
      {IDC_EXIF_TO_MODIFIED, L"C" + c + L" M2021"},
      {IDC_CURRENT_TO_CREATED, L"Cnow M" + m},
      {IDC_CURRENT_TO_MODIFIED, L"C" + c + L" Mnow"}};
  const std::wstring kept[] = {L"1 on", L"0 off", L"1 on"};
  for (int turn = 0; turn < 3; ++turn) {
    if (turn != 0)
      SendMessageW(window_, WM_SYSCOMMAND, IDM_EACH_DATES_DAYLIGHT_SAVING, 0);
    ExpectEachDate(turn != 1);
    bool checked = (MenuState(IDM_EACH_DATES_DAYLIGHT_SAVING) & MF_CHECKED) != 0;
    EXPECT_EQ(Setting(L"General", L"EachDatesDaylightSaving") + (checked ? L" on" : L" off") +
                  Modified(Target()) + Modified(Reference()),
              kept[turn] + ShownTicks(FileTicks(file)) + ShownTicks(FileTicks(winter)));
    if (turn == 0)
      continue;
    WritePaneTime(Reference(), PaneTime::Created, Local(2011, 1, 2, 3, 4, 5));
    WritePaneTime(Reference(), PaneTime::Modified, Local(2012, 6, 7, 8, 9, 10));
    for (auto [command, writes] : rows) {
      SetPicker(Target(), IDC_PANE_CREATED_DATE, Local(2001, 2, 3, 22, 0, 0));
      SetPicker(Target(), IDC_PANE_CREATED_TIME, Local(1999, 9, 9, 4, 5, 6));
      WritePaneTime(Target(), PaneTime::Modified, Local(2005, 6, 7, 8, 9, 10));
      SetFileTimeRecorder recorder;
      Command(command);
      if (command != IDC_APPLY_CREATED && command != IDC_APPLY_MODIFIED &&
          command != IDC_APPLY_BOTH)
        Command(IDC_APPLY_BOTH);
      SYSTEMTIME now;
      GetLocalTime(&now);
      // The clock's hour stands for it, as the seconds may turn meanwhile.
      std::wstring shown = recorder.Under(elsewhere.Path()) + recorder.Under(folder_.Path()),
                   today = Shown(now).substr(0, 13);
      for (size_t at = shown.find(today); at != std::wstring::npos; at = shown.find(today))
        shown.replace(at, 23, L"now");
      EXPECT_EQ(shown + L" " + Seen(), L"a.jpg " + writes + L" OK||") << command << turn;
    }
  }
  SetCurrentDirectoryW(saved);
  ASSERT_TRUE(DeleteFileW(file.c_str()));
  Command(IDC_APPLY_BOTH);
  EXPECT_EQ(PanePath(Target()) + Seen() + Pickers(Reference()), file + L"2||" + reference);
  // A time the rule cannot convert is not "OK": the path is not even tried.
  ImportPatch noRule(
      "kernel32.dll", "GetTimeZoneInformationForYear",
      +[](USHORT, DYNAMIC_TIME_ZONE_INFORMATION*, TIME_ZONE_INFORMATION*) { return 0; });
  Command(IDC_APPLY_BOTH);
  EXPECT_EQ(ControlText(IDC_APPLY_RESULT), L"87");
}

// Get All, Restore and Cleanup on a tree three levels deep, with junk in every folder, names in
// other case and a junk file in use that can be neither deleted nor written: what each shows and
// what is on disk after.
TEST_F(MainCommands, FolderCommandsShowAndChangeWhatTheyPromise) {
  const std::wstring kept = L"t\\ 2010 t\\a.txt 2001 t\\B.Txt 2002 t\\._held.jpg 2006 "
                            L"t\\._folder\\ 2007 t\\sub\\ 2011 t\\sub\\deep\\ 2013 "
                            L"t\\sub\\deep\\deeper\\ 2015 t\\sub\\deep\\deeper\\keep.db 0 ",
                     rootJunk = L"t\\.ds_store 2003 t\\THUMBS.DB 2004 ",
                     deepJunk = L"t\\sub\\._a.jpg 0 t\\sub\\deep\\Thumbs.db 0 "
                                L"t\\sub\\deep\\deeper\\.DS_Store 0";
  const std::wstring restored =
      L"t\\.ds_store C- M2003; t\\B.Txt C- M2002; t\\THUMBS.DB C- M2004; t\\a.txt C- M2001";
  // Pressed in turn, the files' times changed before the last: Get All, Restore, Cleanup, Shift
  // + Cleanup. The junk deleted: none, the folder's own, all.
  const std::tuple<const wchar_t*, const wchar_t*, int, std::wstring> rows[] = {
      {L"G", L"|5| get restore cleanup rename", 0, L""},
      {L"R", L"|| get cleanup rename", 0, L""},
      {L"GR", L"|5|4 get restore cleanup rename", 0, restored},
      {L"GC", L"||2 get cleanup rename", 1, L"t C- M2010"},
      {L"GCR", L"||2 get cleanup rename", 1, L""},
      {L"GCG", L"|3| get restore cleanup rename", 1, L""},
      {L"S", L"||5 get cleanup rename", 2,
       L"t C- M2010; t\\._folder C- M2007; t\\sub C- M2011; t\\sub\\deep C- M2013; "
       L"t\\sub\\deep\\deeper C- M2015"}};
  for (auto [commands, seen, gone, writes] : rows) {
    TempFolder tree, model;
    MakeTree(tree, kept + rootJunk + deepJunk);
    MakeTree(model, kept + (gone < 1 ? rootJunk : L"") + (gone < 2 ? deepJunk : L""));
    const std::wstring t = tree.PathOf(L"t\\");
    ASSERT_EQ(SetPanePath(Target(), tree.PathOf(L"t").c_str()), 1);
    UniqueFile held(CreateFileW((t + L"._held.jpg").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    std::optional<SetFileTimeRecorder> recorder;
    for (const wchar_t* key = commands; *key != L'\0'; ++key) {
      if (key[1] == L'\0') {
        for (const wchar_t* file : {L"a.txt", L"B.Txt", L".ds_store", L"THUMBS.DB", L"._held.jpg"})
          if (GetFileAttributesW((t + file).c_str()) != INVALID_FILE_ATTRIBUTES)
            SetModifiedTicks(t + file, ExpectedUtcTicks(At(2020)));
        recorder.emplace();
      }
      system_.keysDown = *key == L'S' ? std::vector<int>{VK_SHIFT} : std::vector<int>{};
      Command(*key == L'G' ? IDC_GET_ALL_MODIFIED : *key == L'R' ? IDC_RESTORE : IDC_CLEANUP);
    }
    EXPECT_EQ(Seen(), seen) << commands;
    EXPECT_EQ(Tree(tree), Tree(model)) << commands;
    EXPECT_EQ(recorder->Under(tree.Path()), writes) << commands;
  }
}

// Match asks first, then copies each Reference item's times onto the Target item at the same
// place, folders and files as MatchedFoldersOption says; a time that cannot be read is not copied.
TEST_F(MainCommands, MatchCopiesReferenceTimesOntoTheTargetAsTheOptionSays) {
  MakeTree(folder_, L"R\\ 0 R\\a\\ 2001 R\\a\\b\\ 2002 R\\a\\b\\c\\ 2003 R\\a\\f.txt 2004 "
                    L"R\\a\\b\\g.txt 2005 R\\only\\ 2006 R\\x\\ 2007 T\\ 0 T\\a\\ 0 T\\a\\b\\ 0 "
                    L"T\\a\\b\\c\\ 0 T\\a\\f.txt 0 T\\a\\b\\g.txt 0 T\\X 0");
  std::wstring target = folder_.PathOf(L"T"), reference = folder_.PathOf(L"R");
  ASSERT_EQ(SetPanePath(Target(), target.c_str()), 1);
  EXPECT_FALSE(MenuEnabled(IDM_MATCH_DATETIME)); // the system menu's Match needs two folders
  ASSERT_EQ(SetPanePath(Reference(), reference.c_str()), 1);
  EXPECT_TRUE(MenuEnabled(IDM_MATCH_DATETIME));
  // Settings file, answer, whether R\a\f.txt's Created time can be read, result, writes.
  const std::tuple<const wchar_t*, int, bool, const wchar_t*, const wchar_t*> rows[] = {
      {nullptr, IDYES, true, L"3", L"T\\a C- M2001; T\\a\\b C- M2002; T\\a\\b\\c C- M2003"},
      {L"[General]\r\nMatchedFoldersOption=50", IDYES, true, L"5",
       L"T\\a C* M-; T\\a\\b C* M-; T\\a\\b\\c C* M-; T\\a\\b\\g.txt C* M-; T\\a\\f.txt C* M-"},
      {L"[General]\r\nMatchedFoldersOption=19", IDYES, false, L"6",
       L"T\\X C* M2007; T\\a C* M2001; T\\a\\b C* M2002; T\\a\\b\\c C* M2003; "
       L"T\\a\\b\\g.txt C* M2005; T\\a\\f.txt C- M2004"},
      {L"[General]", IDNO, true, L"0", L""},
      {L"[General]\r\nMatchedFoldersOption=19", 0, true, L"0", L""}};
  for (auto [ini, answer, readable, result, writes] : rows) {
    Ini(ini);
    SetDlgItemTextW(window_, IDC_FOLDER_RESULT, L"9");
    system_.boxAnswers = {answer};
    system_.boxes.clear();
    // C* stands for the Created time the Reference item holds.
    std::wstring expected = writes;
    for (std::wstring item : {L"X", L"a", L"a\\b", L"a\\b\\c", L"a\\f.txt", L"a\\b\\g.txt"})
      if (size_t at = expected.find(L"T\\" + item + L" C*"); at != std::wstring::npos)
        expected.replace(at + item.size() + 4, 1,
                         ShownTicks(FileTicks(folder_.PathOf(L"R\\" + item), true)));
    GetFileTimeOverride stamp(readable ? L"" : folder_.PathOf(L"R\\a\\f.txt"), kUnconvertibleTicks);
    SetFileTimeRecorder recorder;
    SendMessageW(window_, WM_SYSCOMMAND, IDM_MATCH_DATETIME, 0);
    EXPECT_EQ(ControlText(IDC_FOLDER_RESULT) + L" " + recorder.Under(folder_.Path()),
              result + (L" " + expected));
    EXPECT_EQ(system_.boxes, Names{reference + L"\\\r\nTo\r\n" + target +
                                   L"\\|Matched Folders DateTime|" + std::to_wstring(MB_YESNO)});
  }
}

// Restore, Cleanup (the folder's own time) and Match write back the very stamp they read, under
// either rule: one in the hour the clocks repeat, where a local time stands for two, with a part
// below the millisecond.
TEST_F(MainCommands, RecordsWriteBackTheStampTheyRead) {
  CentralEuropeRule rule;
  const uint64_t stamp = 133430166000001234; // 2023-10-29 01:30:00.0001234 UTC: 02:30, second time
  MakeTree(folder_, L"R\\ 0 R\\a\\ 0 T\\ 0 T\\a\\ 0 T\\f 0");
  const std::wstring f = folder_.PathOf(L"T\\f"), t = folder_.PathOf(L"T"),
                     r = folder_.PathOf(L"R");
  ASSERT_TRUE(SetPanePath(Target(), t.c_str()) && SetPanePath(Reference(), r.c_str()));
  for (bool eachDate : {false, true}) {
    if (eachDate)
      Command(IDM_EACH_DATES_DAYLIGHT_SAVING);
    for (const std::wstring& item : {f, t, r + L"\\a"})
      SetModifiedTicks(item, stamp);
    Command(IDC_GET_ALL_MODIFIED);
    SetModifiedTicks(f, stamp + 10000000);
    system_.boxAnswers = {IDYES};
    for (int id : {IDC_RESTORE, IDC_CLEANUP, IDM_MATCH_DATETIME})
      Command(id);
    for (const std::wstring& item : {f, t, t + L"\\a"})
      EXPECT_EQ(FileTicks(item), stamp) << item << eachDate;
  }
}

class Panes : public MainWindowTest {
protected:
  // What the program's drop target sends for a drop of names on a control.
  LRESULT DropOn(int id, const std::vector<std::wstring>& names) {
    std::wstring list;
    for (const std::wstring& name : names)
      list += name + L'\0';
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + (list.size() + 1) * sizeof(wchar_t));
    auto* files = static_cast<DROPFILES*>(GlobalLock(block));
    *files = {sizeof(DROPFILES), {}, FALSE, TRUE};
    std::copy(list.begin(), list.end(), reinterpret_cast<wchar_t*>(files + 1));
    GlobalUnlock(block);
    RECT rect;
    GetWindowRect(GetDlgItem(window_, id), &rect);
    POINTL point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    LRESULT result = SendMessageW(window_, WM_DROPFILES, reinterpret_cast<WPARAM>(block),
                                  reinterpret_cast<LPARAM>(&point));
    GlobalFree(block);
    return result;
  }
};

// The Target's kind drives the title and the folder buttons, ends the snapshot and, as the setting
// GetAllModifiedDateTime says, takes a new one; a path that does not exist leaves the buttons.
TEST_F(Panes, TheMainWindowFollowsTheKindOfTargetPath) {
  std::wstring album = folder_.MakeFile(L"Album\\"), photo = folder_.MakeFile(L"photo.jpg");
  folder_.MakeFile(L"Album\\in.jpg");
  const wchar_t *takes = L"[General]\r\nGetAllModifiedDateTime=1", *key0 = L"[General]";
  const std::tuple<std::wstring, const wchar_t*, std::wstring, std::wstring> rows[] = {
      {album, takes, album + L" - Datewright", L"|1| get restore cleanup rename"},
      {folder_.PathOf(L"gone"), takes, L"Datewright", L"|| get cleanup rename"},
      {photo, takes, L"photo.jpg - Datewright", L"||"},
      {folder_.PathOf(L"gone"), key0, L"Datewright", L"||"},
      {album, key0, album + L" - Datewright", L"|| get cleanup rename"}};
  for (const auto& [path, ini, title, seen] : rows) {
    Ini(ini);
    State()->modifiedSnapshot = GlobalAlloc(GHND, 16);
    EnableWindow(GetDlgItem(window_, IDC_RESTORE), TRUE);
    for (int id : {IDC_SNAPSHOT_COUNT, IDC_FOLDER_RESULT})
      SetDlgItemTextW(window_, id, L"7");
    ASSERT_EQ(SetPanePath(Target(), path.c_str()), 1);
    EXPECT_EQ(State()->modifiedSnapshot, nullptr);
    for (MSG message; PeekMessageW(&message, window_, 0, 0, PM_REMOVE);)
      DispatchMessageW(&message);
    EXPECT_EQ(TextOf(window_) + L" " + Seen(), title + L" " + seen);
  }
}

// Open... proposes the path remembered for its pane and kind (Shift: a folder), shows the choice
// with its times and remembers it under that key alone; the current directory stays. Control,
// winning over Shift, reloads the pane's times and ends the snapshot.
TEST_F(Panes, OpenChoosesRemembersAndReloads) {
  MakeTree(folder_, L"photo.jpg 2003 Album\\ 2004 Album\\in.jpg 0 FilePathTarget 0 "
                    L"FilePathReference 0 DirPathTarget\\ 0 DirPathReference\\ 0");
  std::wstring photo = folder_.PathOf(L"photo.jpg"), album = folder_.PathOf(L"Album");
  const std::pair<const wchar_t*, const wchar_t*> keys[] = {{L"FilePath", L"Target"},
                                                            {L"FilePath", L"Reference"},
                                                            {L"DirPath", L"Target"},
                                                            {L"DirPath", L"Reference"}};
  Names remembered;
  for (auto [section, key] : keys)
    remembered.push_back(folder_.PathOf(std::wstring(section) + key));
  wchar_t before[MAX_PATH] = {}, after[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, before);
  for (size_t k = 0; k < 4; ++k) {
    Open(L"Datewright.exe");
    std::wstring ini = Ini(L"");
    for (size_t i = 0; i < 4; ++i)
      WritePrivateProfileStringW(keys[i].first, keys[i].second,
                                 (L"\"" + remembered[i] + L"\"").c_str(), ini.c_str());
    bool folder = keys[k].first[0] == L'D', target = keys[k].second[0] == L'T';
    system_.keysDown = folder ? std::vector<int>{VK_SHIFT} : std::vector<int>{};
    system_.fileChoice = photo;
    system_.folderChoice = album;
    SendMessageW(target ? Target() : Reference(), WM_COMMAND, IDC_PANE_OPEN, 0);
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_STREQ(after, before); // a relative path must go on naming the same file
    EXPECT_EQ(folder ? system_.folderPreselected : system_.fileProposed, remembered[k]);
    HWND pane = target ? Target() : Reference(), other = target ? Reference() : Target();
    EXPECT_EQ(PanePath(pane) + Modified(pane) + PanePath(other),
              folder ? album + L"2004" : photo + L"2003");
    Names stored, expected = remembered;
    expected[k] = folder ? album : photo;
    for (auto [section, key] : keys)
      stored.push_back(Setting(section, key));
    EXPECT_EQ(stored, expected) << k;
  }
  ASSERT_EQ(SetPanePath(Target(), album.c_str()), 1);
  Command(IDC_GET_ALL_MODIFIED);
  SetModifiedTicks(album, ExpectedUtcTicks(At(2009)));
  system_.keysDown = {VK_SHIFT, VK_CONTROL};
  SendMessageW(Target(), WM_COMMAND, IDC_PANE_OPEN, 0);
  EXPECT_EQ(Modified(Target()) + Seen() + std::to_wstring(system_.folderDialogs),
            L"2009|| get cleanup rename2");
}

// A dropped shortcut asks: Yes takes the file it points to, No the shortcut itself; Cancel, or a
// box that could not be shown, refuses it. The pane ends on the last name taken, with that name's
// own times; a name is refused when the shortcut question is cancelled, when it is too long, or
// when it exists but its times cannot be read.
TEST_F(Panes, ADropSetsEachNameInTurnUntilOneIsRefused) {
  MakeTree(folder_, L"photo.jpg 2003 first.jpg 2013 last.jpg 2014");
  std::wstring photo = folder_.PathOf(L"photo.jpg"), link = folder_.PathOf(L"photo.lnk"),
               first = folder_.PathOf(L"first.jpg"), last = folder_.PathOf(L"last.jpg");
  IShellLinkW* shortcut = nullptr;
  IPersistFile* file = nullptr;
  ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                            IID_IShellLinkW, reinterpret_cast<void**>(&shortcut)));
  shortcut->SetPath(photo.c_str());
  shortcut->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  EXPECT_HRESULT_SUCCEEDED(file->Save(link.c_str(), TRUE));
  file->Release();
  shortcut->Release();
  system_.boxAnswers = {IDYES, IDNO, IDCANCEL, 0};
  for (const std::wstring& expected : {photo, link, first, first}) {
    ASSERT_EQ(SetPanePath(Target(), first.c_str()), 1);
    EXPECT_EQ(DropOn(IDC_TARGET_PLACEHOLDER, {link}), expected == first ? 0 : 1);
    EXPECT_EQ(PanePath(Target()), expected);
  }
  EXPECT_EQ(system_.boxes, Names(4, L"Open Target?(Yes) or Shortcut?(No)|photo.jpg|" +
                                        std::to_wstring(MB_YESNOCANCEL)));
  std::wstring noTimes = folder_.MakeFile(L"locked.jpg");
  GetFileTimeOverride locked(noTimes, std::nullopt);
  EXPECT_EQ(DropOn(IDC_TARGET_PLACEHOLDER, {first, last}), 1);
  EXPECT_EQ(PanePath(Target()) + Modified(Target()), last + L"2014");
  for (const std::wstring& refused : {folder_.MakeFile(L"bad.lnk", "no shortcut"),
                                      folder_.PathOf(std::wstring(300, L'n')), noTimes}) {
    EXPECT_EQ(DropOn(IDC_TARGET_PLACEHOLDER, {first, refused, last}), 0);
    EXPECT_EQ(PanePath(Target()) + Modified(Target()), first + L"2013");
  }
  EXPECT_EQ(DropOn(IDC_APPLY_CREATED, {last}), 0);
  EXPECT_EQ(DropOn(IDC_REFERENCE_PLACEHOLDER, {last}), 1);
  EXPECT_EQ(PanePath(Target()) + PanePath(Reference()) + Modified(Reference()),
            first + last + L"2014");
}

// Offering files, a drag is always a copy: told of a move, the source would delete its files.
TEST_F(Panes, TheDropTargetAnswersCopyForFilesAndNothingElse) {
  auto* target = new CSimpleDropTarget(window_);
  target->AddRef();
  for (UINT format : {UINT{CF_HDROP}, UINT{CF_UNICODETEXT}}) {
    // The clipboard's data object offers what was put there.
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + 4);
    static_cast<DROPFILES*>(GlobalLock(block))->pFiles = sizeof(DROPFILES);
    GlobalUnlock(block);
    ASSERT_TRUE(OpenClipboard(window_) && EmptyClipboard() && SetClipboardData(format, block));
    CloseClipboard();
    IDataObject* data = nullptr;
    ASSERT_EQ(OleGetClipboard(&data), S_OK);
    std::vector<DWORD> effects(3, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
    target->DragEnter(data, MK_LBUTTON, {0, 0}, &effects[0]);
    target->DragOver(MK_LBUTTON, {0, 0}, &effects[1]);
    EXPECT_EQ(target->Drop(data, 0, {0, 0}, &effects[2]), S_OK);
    EXPECT_EQ(effects,
              std::vector<DWORD>(3, format == CF_HDROP ? DROPEFFECT_COPY : DROPEFFECT_NONE));
    data->Release();
  }
  EXPECT_EQ(target->Release(), 0u);
}

// The Exif commands copy the camera's date to Created and the digitized one to Modified, else
// DateTime, and are grey without one; a date no picker can show counts as absent. Files starting
// "II" or "MM" give the dates of a JPEG's Exif segment in them, else their own TIFF's; a movie,
// named like a photo, its UTC instant in local time, which Apply then writes back exactly. Photos
// are dropped on the Target while another program writes them, sharing them for reading. A stamp
// before the pickers' first day (a zero stamp reads as 1601), or one no conversion takes, shows as
// that first day; one in the year 30827, in every zone, as the pickers' last day, which they hold:
// never as the time of the path shown before.
TEST_F(Panes, TheExifCommandsCopyTheDatesAPickerCanShow) {
  const std::string d = "2019:07:04 18:30:05", o = "2018:03:02 01:02:03", g = "2017:11:12 13:14:15";
  const std::wstring k = L"1999", D = L"2019-07-04 18:30:05.000", O = L"2018-03-02 01:02:03.000",
                     G = L"2017-11-12 13:14:15.000",
                     V = ShownTicks((3742884672 + 9561628800ull) * 10000000);
  Bytes movie = BuildMovie(0, 3742884672, 3742938123).Whole();
  // DateTime, DateTimeOriginal, DateTimeDigitized, what comes before the JPEG (TIFF: a bare TIFF
  // in its place, MP4: a movie), big-endian, what the pickers show after both commands.
  const std::tuple<std::string, std::string, std::string, std::string, bool, std::wstring> rows[] =
      {{d, "", "", "", false, D + L" M" + D},
       {"", o, "", "", true, O + L" M" + k},
       {"", "", g, "MM", false, k + L" M" + G},
       {d, o, g, "II", true, O + L" M" + G},
       {d, o, g, "TIFF", true, O + L" M" + G},
       {"", "2019:13:04 18:30:05", "2019:00:04 18:30:05", "", false, k + L" M" + k},
       {"2019:07:04 25:30:05", "", d, "", false, k + L" M" + D},
       {"", "", "", "MP4", false, V + L" M" + V}};
  // The photos' Created stamps in turn, and the day and hour the picker shows for each.
  const std::pair<uint64_t, std::wstring> stamps[] = {{kUnconvertibleTicks, L"1752-09-14 00"},
                                                      {0, L"1752-09-14 00"},
                                                      {0x7FFF000000000000, L"9999-12-31 00"}};
  size_t row = 0;
  for (const auto& [dateTime, original, digitized, head, motorola, shown] : rows) {
    const auto& [stamp, firstDay] = stamps[row++ % 3];
    ByteOrder order = motorola ? ByteOrder::kMotorola : ByteOrder::kIntel;
    Bytes tiff = BuildTiff(CameraLayout(order, dateTime, original, digitized));
    Bytes bytes = head == "MP4"    ? movie
                  : head == "TIFF" ? tiff
                                   : JpegBuilder().Exif(tiff).Build(70000);
    bytes.resize(70000);
    std::wstring photo = folder_.MakeFile(
        L"photo.jpg", (head.size() == 2 ? head : "") + std::string(bytes.begin(), bytes.end()));
    GetFileTimeOverride override(photo, stamp);
    UniqueFile writer(CreateFileW(photo.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_EQ(DropOn(IDC_TARGET_PLACEHOLDER, {photo}), 1);
    writer.Reset();
    std::wstring first = Shown(ReadPaneTime(Target(), PaneTime::Created)).substr(0, 13);
    WritePaneTime(Target(), PaneTime::Created, At(1999));
    WritePaneTime(Target(), PaneTime::Modified, At(1999));
    Command(IDC_EXIF_TO_CREATED);
    Command(IDC_EXIF_TO_MODIFIED);
    SetFileTimeRecorder recorder;
    Command(IDC_APPLY_BOTH);
    EXPECT_EQ(first + Pickers(Target()) + L" " + Seen() + L" " + recorder.Under(folder_.Path()),
              firstDay + L"C" + shown + L" OK||" + (shown.find(k + L" ") == 0 ? L"" : L" exif-c") +
                  (shown.find(L"M" + k) != std::wstring::npos ? L"" : L" exif-m") +
                  L" photo.jpg C" + shown);
  }
}

struct Inputs {
  int method = RenameReplace;
  const wchar_t* find = L"";
  const wchar_t* replace = L"";
  const wchar_t* filter = L"*.*";
};

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

void ChooseMethod(HWND dialog, int method) {
  HWND methods = GetDlgItem(dialog, IDC_RENAME_METHOD);
  SendMessageW(methods, CB_SETCURSEL, method, 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_RENAME_METHOD, CBN_SELENDOK),
               reinterpret_cast<LPARAM>(methods));
}

// Fills in the inputs and presses Test; the rows shown.
Names Preview(HWND dialog, const Inputs& inputs) {
  ChooseMethod(dialog, inputs.method);
  SetDlgItemTextW(dialog, IDC_RENAME_FIND, inputs.find);
  SetDlgItemTextW(dialog, IDC_RENAME_REPLACE, inputs.replace);
  SetDlgItemTextW(dialog, IDC_RENAME_FILTER, inputs.filter);
  Press(dialog, IDC_RENAME_TEST);
  return Rows(dialog);
}

// Selects a row as the user does, selected and focused, and presses Rename It unless told not to.
void RenameRow(HWND dialog, int row, bool press = true) {
  ListView_SetItemState(GetDlgItem(dialog, IDC_RENAME_LIST), row, LVIS_SELECTED | LVIS_FOCUSED,
                        LVIS_SELECTED | LVIS_FOCUSED);
  if (press)
    Press(dialog, IDC_RENAME_ONE);
}

int g_shellCalls;
enum class Shell { kRenames, kSkips, kCopies } g_shellDoes;
std::optional<ImportPatch> g_shell, g_information, g_search;

// Renames as Windows' shell does; Wine's refuses a change of case alone, so it goes by a third
// name.
int WINAPI CountedShell(SHFILEOPSTRUCTW* operation) {
  ++g_shellCalls;
  std::wstring between = std::wstring(operation->pFrom) + L"~";
  if (g_shellDoes == Shell::kCopies)
    CopyFileW(operation->pFrom, operation->pTo, TRUE);
  else if (g_shellDoes == Shell::kRenames && MoveFileExW(operation->pFrom, between.c_str(), 0))
    MoveFileExW(between.c_str(), operation->pTo, 0);
  return 0;
}

// A listing that, as the system's does, also matches short 8.3 names: here every name matches.
HANDLE WINAPI SearchingEveryName(LPCWSTR pattern, WIN32_FIND_DATAW* found) {
  std::wstring search = pattern;
  size_t name = search.find_last_of(L'\\') + 1;
  if (search.find_first_of(L"*?", name) != std::wstring::npos)
    search.replace(name, std::wstring::npos, L"*");
  return g_search->Original<decltype(&FindFirstFileW)>()(search.c_str(), found);
}

// As on FAT and exFAT, where a file's index is the place of its directory entry: a rename to a
// longer name may move it.
BOOL WINAPI IndexMovedByRenames(HANDLE file, BY_HANDLE_FILE_INFORMATION* information) {
  BOOL read = g_information->Original<decltype(&GetFileInformationByHandle)>()(file, information);
  information->nFileIndexLow += g_shellCalls;
  return read;
}

class Rename : public MainWindowTest {
protected:
  void SetUp() override {
    g_renameSettings = {};
    MainWindowTest::SetUp();
    ASSERT_EQ(SetPanePath(Target(), folder_.Path().c_str()), 1);
  }
  void TearDown() override {
    g_shell.reset();
    g_information.reset();
    g_search.reset();
    MainWindowTest::TearDown();
  }
  // Opens the dialog by the main window's command; the script ends it or leaves it to be closed.
  void Run(const std::function<void(HWND)>& script) {
    int before = system_.dialogs;
    system_.dialog = script;
    Command(IDM_RENAME_FILES);
    EXPECT_EQ(system_.dialogs, before + 1);
  }
};

// The settings are loaded as stored; preview rows stand in listing order; Execute renames every
// file that gets a new name, keeps the folder's own time and remembers its inputs, quoted so that
// blanks survive. A new name is a name in this folder, never a path, and never one a file holds; a
// Filter with a separator lists nothing, and one that only a short name matches takes nothing.
TEST_F(Rename, TestPreviewsAndExecuteRenamesWithinTheFolderAndRemembers) {
  g_search.emplace("kernel32.dll", "FindFirstFileW", SearchingEveryName);
  MakeTree(folder_, L"abcabc.txt 0 bcbc.txt 0 plain.txt 0 .bc 0 x.bc.txt 0 sub\\ 0 q.jpg 0 "
                    L"sub\\q.jpg 0 r.jpg 0");
  std::wstring ini = Ini(L"[Rename]\r\nMethod=5\r\nFilter=\"*.txt\"\r\nLength=3\r\n[Replace]\r\n"
                         L"CaseSensitive=7\r\nFind=\" \u4EAC\"\r\nReplace=\"c \"\r\n");
  const std::pair<const wchar_t*, const wchar_t*> keys[] = {
      {L"Rename", L"Method"},         {L"Rename", L"Filter"}, {L"Rename", L"Length"},
      {L"Replace", L"CaseSensitive"}, {L"Replace", L"Find"},  {L"Replace", L"Replace"}};
  RenameSettings& loaded = g_renameSettings;
  LoadRenameSettings(ini.c_str(), &loaded);
  EXPECT_EQ(std::to_wstring(loaded.method) + loaded.filter + std::to_wstring(loaded.length) +
                std::to_wstring(loaded.caseSensitive) + loaded.find + loaded.replace,
            L"5*.txt31 \u4EACc ");
  const uint64_t old = ExpectedUtcTicks(Local(2011, 5, 6, 7, 8, 9, 250)) + 1234;
  SetModifiedTicks(folder_.Path(), old);
  const std::map<std::wstring, std::wstring> renamed = {
      {L"abcabc.txt", L"aX aX .txt"}, {L"bcbc.txt", L"X X .txt"}, {L"x.bc.txt", L"x.X .txt"}};
  // A rename never replaces a file: r.jpg wants the name q.jpg holds.
  std::vector<Inputs> runs = {{.method = RenameMatchEnd, .find = L"r", .replace = L"q"}};
  for (int method = RenameReplace; method <= RenameMatchEnd; ++method)
    for (const wchar_t* replace : {L"..\\x", L"sub\\x", L"../x", L"sub/x", L"x:y", L"x*", L"x?",
                                   L"x\"", L"x<", L"x>", L"x|", L"x\t"})
      runs.push_back({.method = method, .find = L"q", .replace = replace});
  for (const wchar_t* filter : {L"sub\\*.jpg", L"sub/*.jpg", L"..\\*", L"a*"})
    runs.push_back({.find = L"q", .replace = L"x", .filter = filter});
  Names expected;
  for (const std::wstring& name : folder_.Listed(L"", false))
    if (renamed.count(name) != 0)
      expected.push_back(name + L" -> " + renamed.at(name));
  Run([&](HWND dialog) {
    for (const Inputs& inputs : runs) {
      EXPECT_EQ(Preview(dialog, inputs).size(), inputs.find[0] == L'r')
          << inputs.replace << inputs.filter;
      RunRenameMethod(dialog, folder_.Path().c_str(), inputs.method, nullptr, -1);
    }
    // Case Sensitive came checked from the settings; the Filter chooses the files.
    EXPECT_EQ(Preview(dialog, {.find = L"BC", .replace = L"X ", .filter = L""}), Names{});
    EXPECT_EQ(Preview(dialog, {.find = L"bc", .replace = L"X ", .filter = L"a*"}),
              Names{L"abcabc.txt -> aX aX .txt"});
    EXPECT_EQ(Preview(dialog, {.find = L"bc", .replace = L"X ", .filter = L""}), expected);
    Press(dialog, IDOK);
  });
  EXPECT_EQ(folder_.Listed(), (Names{L".bc", L"X X .txt", L"aX aX .txt", L"plain.txt", L"q.jpg",
                                     L"r.jpg", L"sub\\", L"x.X .txt"}));
  EXPECT_EQ(folder_.Listed(L"sub"), Names{L"q.jpg"});
  EXPECT_EQ(FileTicks(folder_.Path()), old);
  std::wstring stored;
  for (auto [section, key] : keys)
    stored += Setting(section, key) + L"|";
  EXPECT_EQ(stored, L"0|*.*|3|1|bc|X |");
}

// The list holds no rows of its own: after the middle row goes, the others show and rename their
// own files, though renamed files still match and come anywhere in the listing, and a typed
// letter still leads to the row it begins. The snapshot follows the files: Restore gives each its
// own time back. Each rename moves the file's index, as on a memory card.
TEST_F(Rename, RowsAroundARenamedOneKeepTheirOwnFiles) {
  g_shell.emplace("shell32.dll", "SHFileOperationW", CountedShell);
  g_information.emplace("kernel32.dll", "GetFileInformationByHandle", IndexMovedByRenames);
  g_shellDoes = Shell::kRenames;
  for (const wchar_t* made :
       {L"a_x.txt 2001 b_x.txt 2002 c_x.txt 2003", L"c_x.txt 2003 b_x.txt 2002 a_x.txt 2001",
        L"b_x.txt 2002 c_x.txt 2003 a_x.txt 2001"}) {
    TempFolder folder;
    MakeTree(folder, made);
    ASSERT_EQ(SetPanePath(Target(), folder.Path().c_str()), 1);
    Command(IDC_GET_ALL_MODIFIED);
    Run([&](HWND dialog) {
      Names rows = Preview(dialog, {.find = L"_x", .replace = L"_x_y"});
      ASSERT_EQ(rows.size(), 3u);
      RenameRow(dialog, 1);
      EXPECT_EQ(Rows(dialog), (Names{rows[0], rows[2]}));
      SendDlgItemMessageW(dialog, IDC_RENAME_LIST, WM_CHAR, rows[2][0], 1);
      Press(dialog, IDC_RENAME_ONE);
      // Asked from past the last row, only a search that wraps finds the top one.
      NMLVFINDITEMW find = {{nullptr, IDC_RENAME_LIST, LVN_ODFINDITEMW}, 1, {}};
      find.lvfi.psz = rows[0].c_str();
      for (UINT wrap : {0u, UINT{LVFI_WRAP}}) {
        find.lvfi.flags = LVFI_STRING | wrap;
        LRESULT found = 0;
        EXPECT_TRUE(AnswerPreviewList(&find.hdr, &found));
        EXPECT_EQ(found, wrap != 0 ? 0 : -1);
      }
      EXPECT_EQ(Rows(dialog), Names{rows[0]});
      RenameRow(dialog, 0);
      EXPECT_EQ(Rows(dialog), Names{});
    });
    EXPECT_EQ(folder.Listed(), (Names{L"a_x_y.txt", L"b_x_y.txt", L"c_x_y.txt"})) << made;
    SetFileTimeRecorder recorder;
    Command(IDC_RESTORE);
    EXPECT_EQ(recorder.Under(folder.Path()),
              L"a_x_y.txt C- M2001; b_x_y.txt C- M2002; c_x_y.txt C- M2003")
        << made;
  }
}

// Without a row nothing is renamed. A change of any input empties the list, so that no row shows
// what the buttons would not do, and Execute renames what the inputs give then.
TEST_F(Rename, TheListNeverShowsWhatTheButtonsWouldNotDo) {
  MakeTree(folder_, L"abc1.txt 0 abc2.txt 0");
  const std::function<void(HWND)> changes[] = {
      [](HWND dialog) { SetDlgItemTextW(dialog, IDC_RENAME_REPLACE, L"Y"); },
      [](HWND dialog) { SetDlgItemTextW(dialog, IDC_RENAME_FILTER, L"*.txt"); },
      [](HWND dialog) { SetDlgItemTextW(dialog, IDC_RENAME_LENGTH, L"2"); },
      [](HWND dialog) { Press(dialog, IDC_RENAME_CASE_SENSITIVE); },
      [](HWND dialog) { ChooseMethod(dialog, RenameRemove); },
      [](HWND dialog) { SetDlgItemTextW(dialog, IDC_RENAME_FIND, L"abc2"); },
  };
  Run([&](HWND dialog) {
    for (const auto& change : changes) {
      EXPECT_EQ(Preview(dialog, {.find = L"abc", .replace = L"X"}).size(), 2u);
      Press(dialog, IDC_RENAME_ONE);
      RenameRow(dialog, 0, false);
      change(dialog);
      EXPECT_EQ(Rows(dialog), Names{});
      EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_RENAME_ONE)));
    }
    Press(dialog, IDOK);
  });
  EXPECT_EQ(folder_.Listed(), (Names{L"X.txt", L"abc1.txt"}));
}

// A name another file holds is refused before the shell could offer to replace it, though a change
// of case alone is no other file; a row leaves the list only when its file now carries the new
// name, whatever the shell answered, and otherwise stays selected.
TEST_F(Rename, RenameItKeepsTheRowOfAFileItDidNotRename) {
  MakeTree(folder_, L"abc.txt 0 abd.txt 0");
  g_shell.emplace("shell32.dll", "SHFileOperationW", CountedShell);
  // Inputs, what the shell does, whether it is asked, the files after, whether the row leaves.
  const std::tuple<Inputs, Shell, bool, Names, bool> rows[] = {
      {{.method = RenameMatchEnd, .find = L"d", .replace = L"c"},
       Shell::kRenames,
       false,
       {L"abc.txt", L"abd.txt"},
       false},
      {{.find = L"abd", .replace = L"x"}, Shell::kSkips, true, {L"abc.txt", L"abd.txt"}, false},
      {{.find = L"abd", .replace = L"ABD"}, Shell::kRenames, true, {L"ABD.txt", L"abc.txt"}, true},
      {{.find = L"ABD", .replace = L"e"},
       Shell::kCopies,
       true,
       {L"ABD.txt", L"abc.txt", L"e.txt"},
       false},
  };
  Run([&](HWND dialog) {
    for (const auto& [inputs, shell, asked, listed, leaves] : rows) {
      Names shown = Preview(dialog, inputs);
      ASSERT_EQ(shown.size(), 1u) << inputs.replace;
      g_shellCalls = 0;
      g_shellDoes = shell;
      RenameRow(dialog, 0);
      EXPECT_EQ(g_shellCalls, asked ? 1 : 0) << inputs.replace;
      EXPECT_EQ(folder_.Listed(), listed) << inputs.replace;
      EXPECT_EQ(Rows(dialog), leaves ? Names{} : shown) << inputs.replace;
      EXPECT_EQ(ListView_GetNextItem(GetDlgItem(dialog, IDC_RENAME_LIST), -1, LVNI_SELECTED),
                leaves ? -1 : 0);
    }
  });
}

size_t g_largest;
ImportPatch* g_heapAlloc;

LPVOID WINAPI CountingHeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
  g_largest = std::max(g_largest, size_t{bytes});
  return g_heapAlloc->Original<decltype(&HeapAlloc)>()(heap, flags, bytes);
}

// What a small folder costs does not depend on the folders listed before it.
TEST_F(Rename, AListingIsSizedForTheFolderAtHand) {
  for (int i = 0; i < 300; ++i)
    folder_.MakeFile(L"f" + std::to_wstring(i) + L".txt");
  TempFolder small;
  small.MakeFile(L"f1.txt");
  Run([&](HWND dialog) {
    EXPECT_EQ(Preview(dialog, {.find = L"f", .replace = L"g"}).size(), 300u);
    ImportPatch patch("kernel32.dll", "HeapAlloc", CountingHeapAlloc);
    g_heapAlloc = &patch;
    g_largest = 0;
    RunRenameMethod(dialog, small.Path().c_str(), RenameReplace,
                    GetDlgItem(dialog, IDC_RENAME_LIST), -1);
    EXPECT_LT(g_largest, 16384u);
    EXPECT_EQ(Rows(dialog), Names{L"f1.txt -> g1.txt"});
  });
}

} // namespace
