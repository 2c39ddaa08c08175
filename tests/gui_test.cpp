// The main window, its panes and the Rename dialog, driven as the user drives them, with the
// system's dialogs answered by script; and the built program as a user starts it.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <map>
#include <tuple>

#include "app/main_window.h"
#include "base/handles.h"
#include "filetime/path_times.h"
#include "panes/drop_target.h"
#include "panes/pane_display.h"
#include "panes/pane_time.h"
#include "panes/path_pane.h"
#include "rename/rename_method.h"
#include "rename/rename_settings.h"
#include "rename/run_rename_method.h"
#include "resources/resource_ids.h"
#include "tests/support/file_times.h"
#include "tests/support/iat_patch.h"
#include "tests/support/jpeg_builder.h"
#include "tests/support/scripted_system.h"
#include "tests/support/temp_folder.h"

namespace {

std::wstring TextOf(HWND window) {
  wchar_t text[400] = {};
  GetWindowTextW(window, text, ARRAYSIZE(text));
  return text;
}

// The real main window, made in this process from the templates linked into the test exe, with
// the system's dialogs and keys scripted and a fresh folder to work in.
class MainWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    static const bool registered = RegisterMainWindowClass(GetModuleHandleW(nullptr));
    ASSERT_TRUE(registered);
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
  WORD Year(PaneTime which = PaneTime::Modified) { return ReadPaneTime(Target(), which).wYear; }
  HWND Reference() const { return State()->reference.paneWindow; }
  std::wstring ControlText(int id) const { return TextOf(GetDlgItem(window_, id)); }
  std::wstring PanePath(HWND pane) const { return TextOf(GetDlgItem(pane, IDC_PANE_PATH)); }
  bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(window_, id)) != FALSE; }
  // A file whose Modified time is in that year.
  std::wstring Stamped(const std::wstring& name, WORD year) {
    std::wstring file = folder_.MakeFile(name);
    SYSTEMTIME modified = Local(year, 1, 1, 1, 1, 1);
    EXPECT_EQ(SetPathTimes(file.c_str(), nullptr, &modified, nullptr), 1);
    return file;
  }

  ScriptedSystem system_;
  TempFolder folder_;
  HWND window_ = nullptr;
};

void SetPicker(HWND pane, int id, const SYSTEMTIME& time) {
  SendDlgItemMessageW(pane, id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

using MainCommands = MainWindowTest;

// Apply takes the day from the date picker and the time of day from the time picker.
TEST_F(MainCommands, ApplyWritesWhatTheTargetPickersShow) {
  std::wstring file = folder_.MakeFile(L"a.jpg");
  ASSERT_EQ(SetPanePath(Target(), file.c_str()), 1);
  SetPicker(Target(), IDC_PANE_CREATED_DATE, Local(2001, 2, 3, 22, 0, 0));
  SetPicker(Target(), IDC_PANE_CREATED_TIME, Local(1999, 9, 9, 4, 5, 6));
  WritePaneTime(Target(), PaneTime::Modified, Local(2005, 6, 7, 8, 9, 10));
  const std::optional<uint64_t> created = ExpectedUtcTicks(Local(2001, 2, 3, 4, 5, 6));
  const std::optional<uint64_t> modified = ExpectedUtcTicks(Local(2005, 6, 7, 8, 9, 10));
  for (int command : {IDC_APPLY_CREATED, IDC_APPLY_MODIFIED, IDC_APPLY_BOTH}) {
    SetFileTimeRecorder recorder;
    Command(command);
    EXPECT_EQ(ControlText(IDC_APPLY_RESULT), L"OK");
    EXPECT_EQ(recorder.LastFor(file).created,
              command != IDC_APPLY_MODIFIED ? created : std::nullopt);
    EXPECT_EQ(recorder.LastFor(file).modified,
              command != IDC_APPLY_CREATED ? modified : std::nullopt);
  }
  ASSERT_TRUE(DeleteFileW(file.c_str()));
  Command(IDC_APPLY_BOTH);
  EXPECT_EQ(ControlText(IDC_APPLY_RESULT), L"2");
}

TEST_F(MainCommands, CopyCommandsFillOnlyTheTargetPickers) {
  ASSERT_EQ(SetPanePath(Target(), folder_.MakeFile(L"a.jpg").c_str()), 1);
  WritePaneTime(Reference(), PaneTime::Created, Local(2011, 1, 1, 1, 1, 1));
  WritePaneTime(Reference(), PaneTime::Modified, Local(2012, 1, 1, 1, 1, 1));
  State()->exifDates = {Local(2021, 1, 1, 1, 1, 1), Local(2022, 1, 1, 1, 1, 1), {}};
  SYSTEMTIME now;
  GetLocalTime(&now);
  const std::tuple<int, WORD, WORD> rows[] = {
      {IDC_REFERENCE_TO_CREATED, 2011, 2002},    {IDC_REFERENCE_TO_MODIFIED, 2001, 2012},
      {IDC_MODIFIED_TO_CREATED, 2002, 2002},     {IDC_CREATED_TO_MODIFIED, 2001, 2001},
      {IDC_EXIF_TO_CREATED, 2022, 2002},         {IDC_EXIF_TO_MODIFIED, 2001, 2021},
      {IDC_CURRENT_TO_CREATED, now.wYear, 2002}, {IDC_CURRENT_TO_MODIFIED, 2001, now.wYear},
  };
  for (auto [command, created, modified] : rows) {
    WritePaneTime(Target(), PaneTime::Created, Local(2001, 1, 1, 1, 1, 1));
    WritePaneTime(Target(), PaneTime::Modified, Local(2002, 1, 1, 1, 1, 1));
    Command(command);
    EXPECT_EQ(Year(PaneTime::Created), created) << command;
    EXPECT_EQ(Year(PaneTime::Modified), modified) << command;
  }
}

// Shift includes sub-folders; the snapshot ends either way.
TEST_F(MainCommands, CleanupTakesSubFoldersOnlyWithShift) {
  folder_.MakeFolder(L"sub");
  ASSERT_EQ(SetPanePath(Target(), folder_.Path().c_str()), 1);
  for (bool shift : {false, true}) {
    folder_.MakeFile(L".DS_Store");
    folder_.MakeFile(L"sub\\.DS_Store");
    Command(IDC_GET_ALL_MODIFIED);
    ASSERT_TRUE(Enabled(IDC_RESTORE));
    system_.keysDown = shift ? std::vector<int>{VK_SHIFT} : std::vector<int>{};
    Command(IDC_CLEANUP);
    EXPECT_EQ(ControlText(IDC_FOLDER_RESULT), shift ? L"2" : L"1");
    EXPECT_EQ(folder_.Listed(L"sub").size(), shift ? 0u : 1u);
    EXPECT_FALSE(Enabled(IDC_RESTORE));
  }
}

// The first argument that is no option names the Target, made whole at start.
TEST_F(MainCommands, TheCommandLineTargetStaysTheFileItNamed) {
  std::wstring named = folder_.MakeFile(L"a.jpg");
  TempFolder elsewhere;
  std::wstring other = elsewhere.MakeFile(L"a.jpg");
  wchar_t saved[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, saved);
  SetCurrentDirectoryW(folder_.Path().c_str());
  Open(L"Datewright.exe /x -y a.jpg b.jpg");
  SetCurrentDirectoryW(elsewhere.Path().c_str());
  const uint64_t before = FileTicks(other);
  WritePaneTime(Target(), PaneTime::Modified, Local(2004, 4, 4, 4, 4, 4));
  Command(IDC_APPLY_MODIFIED);
  SetCurrentDirectoryW(saved);
  EXPECT_EQ(PanePath(Target()), named);
  EXPECT_EQ(FileTicks(named), ExpectedUtcTicks(Local(2004, 4, 4, 4, 4, 4)));
  EXPECT_EQ(FileTicks(other), before);
  Open(L"Datewright.exe -v");
  EXPECT_EQ(PanePath(Target()), L"");
}

class Panes : public MainWindowTest {
protected:
  bool MenuEnabled(UINT id) {
    SendMessageW(window_, WM_INITMENU, reinterpret_cast<WPARAM>(State()->systemMenu), 0);
    return (GetMenuState(State()->systemMenu, id, MF_BYCOMMAND) & MF_GRAYED) == 0;
  }
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

// The Target's kind drives the title, the folder buttons and the system menu, and ends the
// snapshot; a path that does not exist leaves the buttons as they were.
TEST_F(Panes, TheMainWindowFollowsTheKindOfTargetPath) {
  std::wstring album = folder_.MakeFolder(L"Album"), photo = folder_.MakeFile(L"photo.jpg");
  const std::tuple<std::wstring, std::wstring, bool> rows[] = {
      {album, album + L" - Datewright", true},
      {folder_.PathOf(L"gone"), L"Datewright", true},
      {photo, L"photo.jpg - Datewright", false},
      {folder_.PathOf(L"gone"), L"Datewright", false}};
  for (const auto& [path, title, folderButtons] : rows) {
    State()->modifiedSnapshot = GlobalAlloc(GHND, 16);
    EnableWindow(GetDlgItem(window_, IDC_RESTORE), TRUE);
    ASSERT_EQ(SetPanePath(Target(), path.c_str()), 1);
    EXPECT_EQ(TextOf(window_), title);
    for (int id : {IDC_GET_ALL_MODIFIED, IDC_CLEANUP, IDM_RENAME_FILES})
      EXPECT_EQ(Enabled(id), folderButtons) << id;
    EXPECT_EQ(State()->modifiedSnapshot, nullptr);
    EXPECT_FALSE(Enabled(IDC_RESTORE));
  }
  // The system menu's Match needs two folders; a Reference path changes nothing else.
  ASSERT_EQ(SetPanePath(Target(), album.c_str()), 1);
  EXPECT_FALSE(MenuEnabled(IDM_MATCH_DATETIME));
  ASSERT_EQ(SetPanePath(Reference(), album.c_str()), 1);
  EXPECT_TRUE(MenuEnabled(IDM_MATCH_DATETIME));
  EXPECT_EQ(TextOf(window_), album + L" - Datewright");
}

// Open... chooses a file, remembered in the settings file, from which it starts when the pane is
// empty; the process's current directory stays where it was.
TEST_F(Panes, OpenChoosesRemembersAndReloads) {
  std::wstring old = folder_.MakeFile(L"old.jpg");
  std::wstring ini =
      folder_.MakeFile(L"Datewright.ini",
                       "[FilePath]\r\nTarget=\"" + std::string(old.begin(), old.end()) + "\"\r\n");
  lstrcpyW(State()->iniPath, ini.c_str());
  std::wstring photo = Stamped(L"photo.jpg", 2003), album = folder_.MakeFolder(L"Album");
  system_.fileChoice = photo;
  wchar_t before[MAX_PATH] = {}, after[MAX_PATH] = {}, stored[300] = {};
  GetCurrentDirectoryW(MAX_PATH, before);
  SendMessageW(Target(), WM_COMMAND, IDC_PANE_OPEN, 0);
  GetCurrentDirectoryW(MAX_PATH, after);
  EXPECT_STREQ(after, before); // a relative path must go on naming the same file
  EXPECT_EQ(system_.fileProposed, old);
  EXPECT_EQ(PanePath(Target()), photo);
  EXPECT_EQ(Year(), 2003);
  GetPrivateProfileStringW(L"FilePath", L"Target", L"", stored, 300, ini.c_str());
  EXPECT_EQ(std::wstring(stored), photo);
  // Shift chooses a folder, starting from the pane's; Control, winning over Shift, reloads.
  system_.keysDown = {VK_SHIFT};
  system_.folderChoice = album;
  SendMessageW(Target(), WM_COMMAND, IDC_PANE_OPEN, 0);
  EXPECT_EQ(system_.folderPreselected, folder_.Path() + L"\\");
  EXPECT_EQ(PanePath(Target()), album);
  system_.keysDown = {VK_SHIFT, VK_CONTROL};
  SendMessageW(Target(), WM_COMMAND, IDC_PANE_OPEN, 0);
  EXPECT_EQ(system_.folderDialogs, 1);
}

// Yes takes the target, No the shortcut itself; Cancel, or a box that could not be shown, refuses.
TEST_F(Panes, TheShortcutQuestionDecidesThePath) {
  std::wstring photo = Stamped(L"photo.jpg", 2003), link = folder_.PathOf(L"photo.lnk");
  IShellLinkW* shortcut = nullptr;
  IPersistFile* file = nullptr;
  ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                            IID_IShellLinkW, reinterpret_cast<void**>(&shortcut)));
  shortcut->SetPath(photo.c_str());
  shortcut->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  EXPECT_HRESULT_SUCCEEDED(file->Save(link.c_str(), TRUE));
  file->Release();
  shortcut->Release();
  std::wstring before = Stamped(L"before.jpg", 2001);
  system_.boxAnswers = {IDYES, IDNO, IDCANCEL, 0};
  for (const std::wstring& expected : {photo, link, before, before}) {
    ASSERT_EQ(SetPanePath(Target(), before.c_str()), 1);
    EXPECT_EQ(SetPanePath(Target(), link.c_str()), expected == before ? 0 : 1);
    EXPECT_EQ(PanePath(Target()), expected);
  }
  ASSERT_EQ(system_.boxes.size(), 4u);
  EXPECT_EQ(system_.boxes[0].first, L"photo.jpg");
  EXPECT_EQ(system_.boxes[0].second & MB_TYPEMASK, UINT{MB_YESNOCANCEL});
}

// The pane ends on the last name taken, with that name's own times; a name is refused when the
// shortcut question is cancelled, when it is too long, or when it exists but its times cannot
// be read.
TEST_F(Panes, ADropSetsEachNameInTurnUntilOneIsRefused) {
  std::wstring first = Stamped(L"first.jpg", 2013), last = Stamped(L"last.jpg", 2014);
  std::wstring noTimes = folder_.MakeFile(L"locked.jpg");
  GetFileTimeOverride locked(noTimes, std::nullopt);
  EXPECT_EQ(DropOn(IDC_TARGET_PLACEHOLDER, {first, last}), 1);
  EXPECT_EQ(PanePath(Target()), last);
  EXPECT_EQ(Year(), 2014);
  for (const std::wstring& refused : {folder_.MakeFile(L"bad.lnk", "no shortcut"),
                                      folder_.PathOf(std::wstring(300, L'n')), noTimes}) {
    EXPECT_EQ(DropOn(IDC_TARGET_PLACEHOLDER, {first, refused, last}), 0);
    EXPECT_EQ(PanePath(Target()), first);
    EXPECT_EQ(Year(), 2013);
  }
  EXPECT_EQ(DropOn(IDC_APPLY_CREATED, {last}), 0);
  EXPECT_EQ(DropOn(IDC_REFERENCE_PLACEHOLDER, {last}), 1);
  EXPECT_EQ(PanePath(Target()), first);
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
    DWORD expected = format == CF_HDROP ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    EXPECT_EQ(effects, std::vector<DWORD>(3, expected));
    data->Release();
  }
  EXPECT_EQ(target->Release(), 0u);
}

// The Exif commands follow the dates present; a date no picker can show counts as absent. Another
// program writing the photo, sharing it for reading, hides none of them.
TEST_F(Panes, TheExifCommandsFollowTheDatesAPickerCanShow) {
  const std::string date = "2019:07:04 18:30:05";
  const std::tuple<std::string, std::string, std::string, bool, bool> rows[] = {
      {"", "", date, false, true},
      {date, "", "", true, true},
      {"", date, "", true, false},
      {"", "2019:13:04 18:30:05", "2019:00:04 18:30:05", false, false},
      {"2019:07:04 25:30:05", "", date, false, true}};
  for (const auto& [dateTime, original, digitized, toCreated, toModified] : rows) {
    Bytes tiff = BuildTiff(CameraLayout(ByteOrder::kIntel, dateTime, original, digitized)).bytes;
    Bytes bytes = JpegBuilder().Exif(tiff).Build(70000);
    std::wstring photo = folder_.MakeFile(L"photo.jpg", std::string(bytes.begin(), bytes.end()));
    UniqueFile writer(CreateFileW(photo.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_EQ(SetPanePath(Target(), photo.c_str()), 1);
    ASSERT_NE(ShowPaneTimes(Target(), &State()->exifDates), 0);
    EXPECT_EQ(Enabled(IDC_EXIF_TO_CREATED), toCreated) << original;
    EXPECT_EQ(Enabled(IDC_EXIF_TO_MODIFIED), toModified) << digitized;
  }
}

// A stamp before the pickers' first day (a zero stamp reads as 1601), or one no conversion takes,
// shows as that first day; one in the year 30827 in every zone as their last; never as the time of
// the path shown before.
TEST_F(Panes, AStampThePickersCannotHoldShowsAsTheNearestTheyHold) {
  std::wstring photo = folder_.MakeFile(L"photo.jpg");
  const std::pair<uint64_t, std::vector<WORD>> rows[] = {{0, {1752, 9, 14, 0}},
                                                         {kUnconvertibleTicks, {1752, 9, 14, 0}},
                                                         {0x7FFF000000000000, {9999, 12, 31, 0}}};
  for (const auto& [created, expected] : rows) {
    WritePaneTime(Target(), PaneTime::Created, Local(1995, 5, 5, 5, 5, 5));
    GetFileTimeOverride override(photo, created);
    ASSERT_EQ(SetPanePath(Target(), photo.c_str()), 1);
    ASSERT_NE(ShowPaneTimes(Target(), &State()->exifDates), 0);
    SYSTEMTIME shown = ReadPaneTime(Target(), PaneTime::Created);
    EXPECT_EQ(std::vector<WORD>({shown.wYear, shown.wMonth, shown.wDay, shown.wHour}), expected)
        << std::hex << created;
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
  for (const std::wstring& name : folder_.Listed(L"", false))
    if (renamed.count(name) != 0)
      expected.push_back(name + L" -> " + renamed.at(name));
  Run([&](HWND dialog) {
    EXPECT_EQ(Preview(dialog, {.find = L"bc", .replace = L"X ", .filter = L""}), expected);
    Press(dialog, IDOK);
  });
  EXPECT_EQ(folder_.Listed(), (Names{L".bc", L"Datewright.ini", L"X X .txt", L"aX aX .txt",
                                     L"plain.txt", L"x.X .txt"}));
  EXPECT_EQ(FileTicks(folder_.Path()), old);
  wchar_t replace[300] = {};
  GetPrivateProfileStringW(L"Replace", L"Replace", L"", replace, 300, ini.c_str());
  EXPECT_STREQ(replace, L"X ");
  EXPECT_STREQ(g_renameSettings.filter, L"*.*");
}

// A new name is a name in this folder, never a path, and never one a file holds; a Filter with a
// separator lists nothing.
TEST_F(Rename, NothingLeavesTheFolderOrEntersASubFolder) {
  MakeFiles({L"sub\\", L"abc.jpg", L"sub\\abc.jpg", L"abd.jpg"});
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
      EXPECT_EQ(Preview(dialog, inputs).size(), inputs.find[0] == L'd')
          << inputs.replace << inputs.filter;
      RunRenameMethod(dialog, folder_.Path().c_str(), inputs.method, nullptr, -1);
    }
  });
  EXPECT_EQ(folder_.Listed(), (Names{L"abc.jpg", L"abd.jpg", L"sub\\"}));
  EXPECT_EQ(folder_.Listed(L"sub"), Names{L"abc.jpg"});
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
      Names rows = Preview(dialog, {.find = L"IMG_", .replace = L"IMG_2019_"});
      EXPECT_EQ(rows.size(), 6u);
      for (size_t pressed = 1; pressed <= rows.size(); ++pressed) {
        RenameRow(dialog, 0);
        EXPECT_EQ(Rows(dialog), Names(rows.begin() + pressed, rows.end()));
      }
    });
    EXPECT_EQ(folder.Listed(), expected);
  }
}

// The list holds no rows of its own: after the middle row goes, the others show and rename their
// own files, and a typed letter still leads to the row it begins.
TEST_F(Rename, RowsAroundARenamedOneKeepTheirOwnFiles) {
  MakeFiles({L"a_x.txt", L"b_x.txt", L"c_x.txt"});
  Run([&](HWND dialog) {
    Names rows = Preview(dialog, {.find = L"_x", .replace = L"_y"});
    ASSERT_EQ(rows.size(), 3u);
    RenameRow(dialog, 1);
    EXPECT_EQ(Rows(dialog), (Names{rows[0], rows[2]}));
    SendDlgItemMessageW(dialog, IDC_RENAME_LIST, WM_CHAR, rows[2][0], 1);
    Press(dialog, IDC_RENAME_ONE);
    EXPECT_EQ(Rows(dialog), Names{rows[0]});
    RenameRow(dialog, 0);
    EXPECT_EQ(Rows(dialog), Names{});
  });
  EXPECT_EQ(folder_.Listed(), (Names{L"a_y.txt", L"b_y.txt", L"c_y.txt"}));
}

// Without a row nothing is renamed. A change of any input empties the list, so that no row shows
// what the buttons would not do, and Execute renames what the inputs give then.
TEST_F(Rename, TheListNeverShowsWhatTheButtonsWouldNotDo) {
  MakeFiles({L"abc1.txt", L"abc2.txt"});
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

int g_shellCalls;
bool g_shellRenames;
ImportPatch* g_shell;

int WINAPI CountedShell(SHFILEOPSTRUCTW* operation) {
  ++g_shellCalls;
  return g_shellRenames ? g_shell->Original<decltype(&SHFileOperationW)>()(operation) : 0;
}

// A name another file holds is refused before the shell could offer to replace it, though a change
// of case alone is no other file; a row leaves the list only when its file now carries the new
// name, whatever the shell answered, and otherwise stays selected.
TEST_F(Rename, RenameItKeepsTheRowOfAFileItDidNotRename) {
  MakeFiles({L"abc.txt", L"abd.txt"});
  ImportPatch patch("shell32.dll", "SHFileOperationW", CountedShell);
  g_shell = &patch;
  // Inputs, whether the shell renames, whether it is asked.
  const std::tuple<Inputs, bool, bool> rows[] = {
      {{.method = RenameMatchEnd, .find = L"d", .replace = L"c"}, true, false},
      {{.find = L"abd", .replace = L"x"}, false, true},
      {{.find = L"abd", .replace = L"ABD"}, true, true},
  };
  Run([&](HWND dialog) {
    for (const auto& [inputs, shellRenames, asked] : rows) {
      Names shown = Preview(dialog, inputs);
      ASSERT_EQ(shown.size(), 1u) << inputs.replace;
      g_shellCalls = 0;
      g_shellRenames = shellRenames;
      RenameRow(dialog, 0);
      EXPECT_EQ(g_shellCalls, asked ? 1 : 0) << inputs.replace;
      Names listed = folder_.Listed();
      bool renamed = listed == Names{L"ABD.txt", L"abc.txt"};
      EXPECT_TRUE(renamed || listed == (Names{L"abc.txt", L"abd.txt"})) << inputs.replace;
      EXPECT_EQ(Rows(dialog), renamed ? Names{} : shown) << inputs.replace;
      EXPECT_EQ(ListView_GetNextItem(GetDlgItem(dialog, IDC_RENAME_LIST), -1, LVNI_SELECTED),
                renamed ? -1 : 0);
    }
  });
}

// The snapshot follows its files through renames: Restore gives each its own time back even
// where names moved onto each other.
TEST_F(Rename, TheSnapshotFollowsItsFilesThroughRenames) {
  Stamped(L"a.txt", 2001);
  std::wstring b = Stamped(L"b.txt", 2002);
  Command(IDC_GET_ALL_MODIFIED);
  Run([](HWND dialog) { // b to c by Rename It
    Preview(dialog, {.find = L"b", .replace = L"c"});
    RenameRow(dialog, 0);
  });
  Run([](HWND dialog) { // then a to b by Execute
    Preview(dialog, {.find = L"a", .replace = L"b"});
    Press(dialog, IDOK);
  });
  ASSERT_EQ(folder_.Listed(), (Names{L"b.txt", L"c.txt"}));
  SetFileTimeRecorder recorder;
  Command(IDC_RESTORE);
  EXPECT_EQ(ControlText(IDC_FOLDER_RESULT), L"2");
  EXPECT_EQ(recorder.LastFor(b).modified, ExpectedUtcTicks(Local(2001, 1, 1, 1, 1, 1)));
  EXPECT_EQ(recorder.LastFor(folder_.PathOf(L"c.txt")).modified,
            ExpectedUtcTicks(Local(2002, 1, 1, 1, 1, 1)));
}

// A settings file saved as UTF-16 keeps a remembered path and a Find text in any script.
TEST_F(Rename, AUnicodeSettingsFileKeepsTextOfAnyScript) {
  std::wstring ini = folder_.MakeFile(L"Datewright.ini", "\xFF\xFE");
  lstrcpyW(State()->iniPath, ini.c_str());
  for (const wchar_t* text :
       {L"\u4EAC\u90FD\u306E\u5199\u771F",
        L"\u03A6\u03C9\u03C4\u03BF\u03B3\u03C1\u03B1\u03C6\u03AF\u03B5\u03C2"}) {
    system_.keysDown = {VK_SHIFT};
    system_.folderChoice = folder_.MakeFolder(text);
    SendMessageW(Reference(), WM_COMMAND, IDC_PANE_OPEN, 0);
    system_.keysDown = {};
    Run([&](HWND dialog) {
      Preview(dialog, {.find = text, .replace = L"x"});
      Press(dialog, IDOK);
    });
    wchar_t path[MAX_PATH] = {};
    GetPrivateProfileStringW(L"DirPath", L"Reference", L"", path, MAX_PATH, ini.c_str());
    EXPECT_EQ(path, system_.folderChoice);
    RenameSettings loaded = {};
    LoadRenameSettings(ini.c_str(), &loaded);
    EXPECT_STREQ(loaded.find, text);
  }
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
