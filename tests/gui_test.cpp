// The main window, its panes and the Rename dialog, driven as a user does, the system scripted.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <winioctl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <tuple>

#include "app/main_window.h"
#include "base/handles.h"
#include "filetime/enumerate_folder.h"
#include "panes/drop_target.h"
#include "panes/pane_display.h"
#include "panes/pane_time.h"
#include "rename/rename_method.h"
#include "rename/rename_settings.h"
#include "rename/run_rename_method.h"
#include "resources/resource_ids.h"
#include "tests/support/fault_injector.h"
#include "tests/support/file_times.h"
#include "tests/support/iat_patch.h"
#include "tests/support/media_builder.h"
#include "tests/support/scripted_system.h"
#include "tests/support/temp_folder.h"

namespace {

std::wstring TextOf(HWND window) {
  wchar_t text[400] = {};
  return GetWindowTextW(window, text, ARRAYSIZE(text)), text;
}

std::string Narrow(const std::wstring& text) {
  return std::string(text.begin(), text.end());
}

// Makes "name year ..." (a folder's name ends in '\'), Modified At(year) + 1234 ticks (a part only
// whole copies keep) unless 0; a file holds its "name year", after `photo` for a name ending .jpg.
void MakeTree(TempFolder& folder, const std::wstring& items, const std::string& photo = "") {
  std::wistringstream in(items);
  std::vector<std::pair<std::wstring, WORD>> made;
  for (std::pair<std::wstring, WORD> item; in >> item.first >> item.second;) {
    std::string own = Narrow(item.first + L" " + std::to_wstring(item.second));
    bool jpeg = own.find(".jpg ") != std::string::npos;
    made.push_back({folder.MakeFile(item.first, (jpeg ? photo : "") + own), item.second});
  }
  for (auto item = made.rbegin(); item != made.rend(); ++item)
    if (item->second != 0)
      SetModifiedTicks(item->first, ExpectedUtcTicks(At(item->second)) + 1234);
}

// What a user sees: buttons and frameless labels have captions; shown controls overlap only a group
// box around them; a class's in a row share top and bottom, and those of a size in a column, left.
void ExpectTidy(HWND parent) {
  std::vector<std::tuple<RECT, std::wstring, bool>> shown; // where, class, a group box
  RECT unit = {0, 0, 4, 8};                                // a dialog unit's pixels, times 4
  MapDialogRect(parent, &unit);
  LOGFONTW lf = {}; // every window in the main window's font
  GetObjectW(HFONT(SendMessageW(GetWindow(parent, GW_CHILD), WM_GETFONT, 0, 0)), sizeof(lf), &lf);
  auto font = std::tuple(lf.lfHeight, lf.lfWeight, lf.lfItalic, std::wstring(lf.lfFaceName));
  static const auto main = font;
  EXPECT_EQ(font, main);
  EXPECT_TRUE(GetWindowLongW(parent, GWL_STYLE) & WS_CHILD || !TextOf(parent).empty()); // titled
  auto units = [&unit](LONG pixels) { return MulDiv(pixels, 4, unit.right); };
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    LONG style = GetWindowLongW(child, GWL_STYLE);
    wchar_t name[40] = {};
    GetClassNameW(child, name, ARRAYSIZE(name));
    auto& [rect, kind, group] = shown.emplace_back(RECT{}, name, false);
    group = kind == L"Button" && (style & BS_TYPEMASK) == BS_GROUPBOX;
    bool framed = GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE;
    EXPECT_FALSE(TextOf(child).empty() && !framed && (kind == L"Button" || kind == L"Static"));
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_TRUE(kind != L"#32770" || style & WS_VISIBLE) << "a pane hidden";
    if (kind == L"Static" && (style & SS_TYPEMASK) == SS_RIGHT) {
      RECT f = {}; // the field a label names, 2 units on, shown with it
      HWND field = ChildWindowFromPointEx(parent, {rect.right + unit.right, rect.top}, CWP_ALL);
      GetWindowRect(field, &f);
      MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&f), 2);
      EXPECT_TRUE(field != parent &&
                  units(f.left) - units(rect.left) - units(rect.right - rect.left) == 2 &&
                  !((GetWindowLongW(field, GWL_STYLE) ^ style) & WS_VISIBLE))
          << Narrow(TextOf(child));
    }
    if (kind == L"#32770")
      ExpectTidy(child);
    if (!(style & WS_VISIBLE))
      shown.pop_back();
  }
  for (auto a = shown.begin(); a != shown.end(); ++a)
    for (auto b = a + 1; b != shown.end(); ++b) {
      const auto& [r, kind, group] = *a;
      const auto& [q, otherKind, otherGroup] = *b;
      RECT both;
      UnionRect(&both, &r, &q);
      bool grouped = (group && EqualRect(&both, &r)) || (otherGroup && EqualRect(&both, &q));
      IntersectRect(&both, &r, &q);
      bool over = !grouped && both.right - both.left > 1 && both.bottom - both.top > 1;
      bool row = std::min(r.bottom, q.bottom) - std::max(r.top, q.top) > 1 &&
                 (r.top != q.top || r.bottom != q.bottom);
      bool column = r.left < q.right && q.left < r.right && r.left != q.left &&
                    r.right - r.left == q.right - q.left && r.bottom - r.top == q.bottom - q.top;
      EXPECT_FALSE(over || (kind == otherKind && group == otherGroup && (row || column)))
          << Narrow(kind) << r.left << "," << r.top << " " << q.left << "," << q.top;
    }
}

int g_shellCalls;
enum class Shell { kRenames, kSkips, kCopies } g_shellDoes;
std::optional<ImportPatch> g_shell, g_information, g_search;

class MainWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    static const bool registered = RegisterMainWindowClass(GetModuleHandleW(nullptr));
    ASSERT_TRUE(registered);
    ExpectEachDate(false);
    g_renameSettings = {};
    Open(L"Datewright.exe");
  }
  void TearDown() override {
    g_shell.reset(), g_information.reset(), g_search.reset();
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
    ExpectTidy(window_);
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
  std::wstring PathText(HWND pane) const { return TextOf(GetDlgItem(pane, IDC_PANE_PATH)); }
  // A pane's path, with its tooltip's text after it where that is not the path.
  std::wstring PanePath(HWND pane) const {
    wchar_t tip[300] = {};
    TOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = GetDlgItem(pane, IDC_PANE_PATH);
    tool.uId = IDC_PANE_PATH;
    tool.lpszText = tip;
    HWND tooltip = (pane == Target() ? State()->target : State()->reference).pathTooltip;
    SendMessageW(tooltip, TTM_GETTEXTW, ARRAYSIZE(tip), reinterpret_cast<LPARAM>(&tool));
    std::wstring path = PathText(pane);
    return path + (path == tip ? L"" : L" tip:" + std::wstring(tip));
  }
  bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(window_, id)) != FALSE; }
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
    SendMessageW(window_, WM_INITMENU, WPARAM(State()->systemMenu), 0); // Rename for folders
    bool grey = GetMenuState(State()->systemMenu, IDM_RENAME_FILES, MF_BYCOMMAND) & MF_GRAYED;
    return seen + (grey == !PathIsDirectoryW(PathText(Target()).c_str()) ? L"" : L" menu?");
  }
  // The settings file in use, UTF-16 as the program writes it; none for a null text.
  std::wstring Ini(const wchar_t* text) {
    std::wstring ini, content = L"\uFEFF" + std::wstring(text != nullptr ? text : L"");
    std::string bytes(reinterpret_cast<const char*>(content.data()), content.size() * 2);
    if (text != nullptr)
      ini = home_.MakeFile(L"Datewright.ini", bytes);
    lstrcpyW(State()->iniPath, ini.c_str());
    return ini;
  }
  // Drops names on a control as Explorer does; the answer must be copy: a move deletes the source.
  void DropOn(int id, const std::vector<std::wstring>& names, UINT format = CF_HDROP) {
    std::wstring list;
    for (const std::wstring& name : names)
      list += name + L'\0';
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + (list.size() + 1) * sizeof(wchar_t));
    auto* files = static_cast<DROPFILES*>(GlobalLock(block));
    *files = {sizeof(DROPFILES), {}, FALSE, TRUE};
    std::copy(list.begin(), list.end(), reinterpret_cast<wchar_t*>(files + 1));
    GlobalUnlock(block);
    IDataObject* data = nullptr;
    ASSERT_TRUE(OpenClipboard(window_) && EmptyClipboard() && SetClipboardData(format, block));
    CloseClipboard();
    ASSERT_EQ(OleGetClipboard(&data), S_OK);
    RECT rect;
    GetWindowRect(GetDlgItem(window_, id), &rect);
    POINTL point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    auto* target = new CSimpleDropTarget(window_);
    target->AddRef();
    std::vector<DWORD> effects(3, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
    target->DragEnter(data, MK_LBUTTON, point, &effects[0]);
    target->DragOver(MK_LBUTTON, point, &effects[1]);
    target->Drop(data, 0, point, &effects[2]);
    EXPECT_EQ(effects, std::vector<DWORD>(3, format == CF_HDROP ? DROPEFFECT_COPY : 0));
    EXPECT_EQ(target->Release(), 0u);
    data->Release();
  }
  void RenameDialog(const std::function<void(HWND)>& script) {
    ASSERT_EQ(SetPanePath(Target(), folder_.Path().c_str()), 1);
    system_.dialog = script;
    Command(IDM_RENAME_FILES);
  }
  std::wstring Setting(const wchar_t* section, const wchar_t* key) {
    wchar_t value[300] = {};
    return GetPrivateProfileStringW(section, key, L"", value, 300, State()->iniPath), value;
  }

  ScriptedSystem system_;
  TempFolder folder_, home_;
  HWND window_ = nullptr;
};

using MainCommands = MainWindowTest;

std::wstring g_modulePath; // where the program finds itself, and so its settings file

// The command line's Target is made whole at start. Apply writes the date picker's day at the time
// picker's time; Set fills one Target pair. The switch is kept and shows June and December again.
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
  ImportPatch module(
      "kernel32.dll", "GetModuleFileNameW", +[](HMODULE, LPWSTR path, DWORD size) {
        return lstrcpynW(path, g_modulePath.c_str(), int(size)), DWORD(g_modulePath.size());
      });
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
    HMENU menu = State()->systemMenu; // the program's three items, then a line, first
    SendMessageW(window_, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    UINT checked = GetMenuState(menu, 2, MF_BYPOSITION) & MF_CHECKED; // the switch, third
    EXPECT_EQ(Setting(L"General", L"EachDatesDaylightSaving") + (checked ? L" on" : L" off") +
                  (GetMenuState(menu, 3, MF_BYPOSITION) & MF_SEPARATOR ? L"" : L" no line") +
                  (GetMenuItemID(menu, 1) == IDM_MATCH_DATETIME ? L"" : L" Match elsewhere") +
                  Modified(Target()) + Modified(Reference()),
              kept[turn] + ShownTicks(FileTicks(file)) + ShownTicks(FileTicks(winter)));
    if (turn == 0)
      continue;
    WritePaneTime(Reference(), PaneTime::Created, Local(2011, 1, 2, 3, 4, 5));
    WritePaneTime(Reference(), PaneTime::Modified, Local(2012, 6, 7, 8, 9, 10));
    for (auto [command, writes] : rows) {
      for (auto [id, time] : {std::pair{IDC_PANE_CREATED_DATE, Local(2001, 2, 3, 22, 0, 0)},
                              {IDC_PANE_CREATED_TIME, Local(1999, 9, 9, 4, 5, 6)}})
        SendDlgItemMessageW(Target(), id, DTM_SETSYSTEMTIME, GDT_VALID, LPARAM(&time));
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
  // A time the rule cannot convert is not "OK": the path, gone, is not even tried.
  ImportPatch noRule(
      "kernel32.dll", "GetTimeZoneInformationForYear",
      +[](USHORT, DYNAMIC_TIME_ZONE_INFORMATION*, TIME_ZONE_INFORMATION*) { return 0; });
  Command(IDC_APPLY_BOTH);
  EXPECT_EQ(ControlText(IDC_APPLY_RESULT), L"87");
  SendMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0); // the system menu's Close
  EXPECT_FALSE(IsWindow(window_));
}

using Panes = MainWindowTest;

// The Target's kind drives the title and the folder buttons, ends the snapshot and may take one.
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
  // Open... proposes the path remembered for the pane; with Shift and no settings file, no folder.
  Ini((L"[FilePath]\r\nTarget=\"" + photo + L"\"").c_str());
  SendMessageW(Target(), WM_COMMAND, IDC_PANE_OPEN, 0);
  Ini(nullptr);
  system_.keysDown = {VK_SHIFT};
  SendMessageW(Target(), WM_COMMAND, IDC_PANE_OPEN, 0);
  EXPECT_EQ(system_.fileProposed + system_.folderProposed, photo + L"|" + folder_.Path() + L"\\|");
  // A remembered folder long gone proposes its nearest parent that is there, never a drive's root.
  for (auto [gone, shown] : {std::pair{folder_.PathOf(L"gone\\deeper"), folder_.Path() + L"\\"},
                             {folder_.Path().substr(0, 3) + L"gone\\deeper", std::wstring()}}) {
    Ini((L"[DirPath]\r\nTarget=\"" + gone + L"\"").c_str());
    SendMessageW(Target(), WM_COMMAND, IDC_PANE_OPEN, 0);
    EXPECT_EQ(system_.folderProposed, L"Current Folder is " + shown + L"|" + shown);
  }
  for (const auto& [path, ini, title, seen] : rows) {
    Ini(ini);
    HGLOBAL old = State()->modifiedSnapshot = GlobalAlloc(GHND, 16);
    EnableWindow(GetDlgItem(window_, IDC_RESTORE), TRUE);
    for (int id : {IDC_SNAPSHOT_COUNT, IDC_FOLDER_RESULT})
      SetDlgItemTextW(window_, id, L"7");
    ASSERT_EQ(SetPanePath(Target(), path.c_str()), 1);
    EXPECT_TRUE(State()->modifiedSnapshot == nullptr && GlobalFlags(old) == GMEM_INVALID_HANDLE);
    for (MSG message; PeekMessageW(&message, window_, 0, 0, PM_REMOVE);)
      DispatchMessageW(&message);
    EXPECT_EQ(TextOf(window_) + L" " + Seen(), title + L" " + seen);
  }
  HGLOBAL last = State()->modifiedSnapshot = GlobalAlloc(GHND, 16); // Get All again frees it,
  Command(IDC_GET_ALL_MODIFIED);
  EXPECT_NE(GlobalSize(last), 16u);   // though its handle may come back for the new snapshot
  for (WPARAM ending : {FALSE, TRUE}) // the session's end called off, then come: only then
    EXPECT_EQ((SendMessageW(window_, WM_ENDSESSION, ending, 0), State()) == nullptr, ending);
}

// A dropped shortcut asks whether to take its target. The last name taken shows, with its times.
TEST_F(Panes, ADropSetsEachNameInTurnUntilOneIsRefused) {
  MakeTree(folder_, L"photo%%.jpg 2003 first.jpg 2013 last.jpg 2014");
  std::wstring photo = folder_.PathOf(L"photo%%.jpg"), link = folder_.PathOf(L"photo.lnk"),
               first = folder_.PathOf(L"first.jpg"), last = folder_.PathOf(L"last.jpg");
  IShellLinkW* shortcut = nullptr;
  IPersistFile* file = nullptr;
  ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                            IID_IShellLinkW, reinterpret_cast<void**>(&shortcut)));
  shortcut->SetPath(photo.c_str());
  shortcut->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  EXPECT_HRESULT_SUCCEEDED(file->Save(link.c_str(), TRUE));
  file->Release(), shortcut->Release();
  system_.boxAnswers = {IDYES, IDNO, IDCANCEL, 0};
  for (const std::wstring& expected : {photo, link, first, first}) {
    ASSERT_EQ(SetPanePath(Target(), first.c_str()), 1);
    DropOn(IDC_TARGET_PLACEHOLDER, {link});
    EXPECT_EQ(PanePath(Target()), expected);
  }
  EXPECT_EQ(system_.boxes, Names(4, L"Open Target?(Yes) or Shortcut?(No)|photo%%.jpg|" +
                                        std::to_wstring(MB_YESNOCANCEL)));
  std::wstring noTimes = folder_.MakeFile(L"locked.jpg");
  GetFileTimeOverride locked(noTimes, std::nullopt);
  DropOn(IDC_TARGET_PLACEHOLDER, // a path of 259 characters is taken, one of 260 refused
         {first, folder_.MakeFile(std::wstring(258 - folder_.Path().size(), L'n')), last});
  EXPECT_EQ(PanePath(Target()) + Modified(Target()), last + L"2014");
  for (const std::wstring& refused :
       {folder_.MakeFile(L"bad.lnk", "no shortcut"),
        folder_.PathOf(std::wstring(259 - folder_.Path().size(), L'n')), noTimes}) {
    EnableWindow(GetDlgItem(window_, IDC_EXIF_TO_CREATED), TRUE); // as for a photo before
    DropOn(IDC_TARGET_PLACEHOLDER, {first, refused, last});
    EXPECT_EQ(PanePath(Target()) + Modified(Target()) + Seen(), first + L"2013||");
  }
  DropOn(IDC_APPLY_CREATED, {first});
  DropOn(IDC_TARGET_PLACEHOLDER, {last}, CF_UNICODETEXT);
  DropOn(IDC_REFERENCE_PLACEHOLDER, {last});
  EXPECT_EQ(PanePath(Target()) + PanePath(Reference()) + Modified(Reference()),
            first + last + L"2014");
}

// Original to Created, Digitized to Modified, else DateTime, if a picker can show it; photos being
// written, a movie past 5 GiB. A stamp out of the pickers' range shows as their first or last day.
TEST_F(Panes, TheExifCommandsCopyTheDatesAPickerCanShow) {
  const std::string d = "2019:07:04 18:30:05", o = "2018:03:02 01:02:03", g = "2017:11:12 13:14:15";
  const std::wstring k = L"1999", D = L"2019-07-04 18:30:05.000", O = L"2018-03-02 01:02:03.000",
                     G = L"2017-11-12 13:14:15.000",
                     V = ShownTicks((3742884672 + 9561628800ull) * 10000000);
  const SparseFile movie = BuildMovie(0, 3742884672, 3742938123, 5ull << 30);
  // DateTime, Original, Digitized, what precedes the JPEG (or replaces it), Motorola, shown.
  const std::tuple<std::string, std::string, std::string, std::string, bool, std::wstring> rows[] =
      {{d, "", "", "", false, D + L" M" + D},
       {"", o, "", "", true, O + L" M" + k},
       {"", "", g, "MM", false, k + L" M" + G},
       {d, o, g, "II", true, O + L" M" + G},
       {d, o, g, "TIFF", true, O + L" M" + G},
       {"", "2019:13:04 18:30:05", "2019:00:04 18:30:05", "", false, k + L" M" + k},
       {"2019:07:04 25:30:05", "", d, "", false, k + L" M" + D},
       {"", "", "", "MP4", false, V + L" M" + V}};
  // Created stamps and the day shown; 9999-12-31 12:00 UTC is in the pickers' last day in any zone.
  const std::pair<uint64_t, std::wstring> stamps[] = {{kUnconvertibleTicks, L"1752-09-14 00"},
                                                      {0, L"1752-09-14 00"},
                                                      {0x7FFF000000000000, L"9999-12-31 00"},
                                                      {2650467312000000000, L"9999-12-31 00"}};
  size_t row = 0;
  for (const auto& [dateTime, original, digitized, head, motorola, shown] : rows) {
    const auto& [stamp, firstDay] = stamps[row++ % 4];
    ByteOrder order = motorola ? ByteOrder::kMotorola : ByteOrder::kIntel;
    Bytes tiff = BuildTiff(CameraLayout(order, dateTime, original, digitized));
    Bytes bytes = head == "TIFF" ? tiff : JpegBuilder().Exif(tiff).Build(70000);
    bytes.resize(70000);
    std::wstring photo = folder_.MakeFile(
        L"photo.jpg", (head.size() == 2 ? head : "") + std::string(bytes.begin(), bytes.end()));
    if (head == "MP4") { // sparse: its media take no room
      UniqueFile file(CreateFileW(photo.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, 0));
      DWORD done = 0;
      LARGE_INTEGER tail = {.QuadPart = LONGLONG(movie.head.size() + movie.zeros)};
      EXPECT_TRUE(DeviceIoControl(file.Get(), FSCTL_SET_SPARSE, 0, 0, 0, 0, &done, 0) &&
                  WriteFile(file.Get(), movie.head.data(), DWORD(movie.head.size()), &done, 0) &&
                  SetFilePointerEx(file.Get(), tail, nullptr, FILE_BEGIN) &&
                  WriteFile(file.Get(), movie.tail.data(), DWORD(movie.tail.size()), &done, 0));
    }
    GetFileTimeOverride override(photo, stamp);
    UniqueFile writer(CreateFileW(photo.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    DropOn(IDC_TARGET_PLACEHOLDER, {photo});
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
  const wchar_t *find = L"", *replace = L"", *filter = L"*.*";
};

Names Rows(HWND dialog) {
  Names rows;
  HWND list = GetDlgItem(dialog, IDC_RENAME_LIST);
  for (wchar_t text[520]; int(rows.size()) < ListView_GetItemCount(list); rows.push_back(text))
    ListView_GetItemText(list, int(rows.size()), 0, text, 520);
  return rows;
}

void ChooseMethod(HWND dialog, int method) { // the method shown until now laid out well
  ExpectTidy(dialog);
  HWND methods = GetDlgItem(dialog, IDC_RENAME_METHOD);
  SendMessageW(methods, CB_SETCURSEL, method, 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_RENAME_METHOD, CBN_SELENDOK),
               reinterpret_cast<LPARAM>(methods));
}

// Fills the inputs shown (Length: 3), and those hidden with what no rule can use; presses Test.
Names Preview(HWND dialog, const Inputs& inputs) {
  ChooseMethod(dialog, inputs.method);
  for (auto [id, text] : {std::pair{IDC_RENAME_FIND, inputs.find},
                          {IDC_RENAME_REPLACE, inputs.replace},
                          {IDC_RENAME_LENGTH, L"3"},
                          {IDC_RENAME_FILTER, inputs.filter}})
    SetDlgItemTextW(dialog, id,
                    GetWindowLongW(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE ? text : L"\\");
  EXPECT_EQ(
      !(GetWindowLongW(GetDlgItem(dialog, IDC_RENAME_CASE_SENSITIVE), GWL_STYLE) & WS_VISIBLE),
      !(RoutineFor(inputs.method)->inputs & InputCaseSensitive)); // as the method reads it
  Press(dialog, IDC_RENAME_TEST);
  RECT list; // which the one column spans, so that every row can be read whole
  GetClientRect(GetDlgItem(dialog, IDC_RENAME_LIST), &list);
  EXPECT_GE(ListView_GetColumnWidth(GetDlgItem(dialog, IDC_RENAME_LIST), 0), list.right);
  return Rows(dialog);
}

// Renames as Windows' shell does; Wine's refuses a change of case alone.
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

// As on FAT and exFAT, where a rename may move a file's index: here it follows the name.
BOOL WINAPI IndexMovedByRenames(HANDLE file, BY_HANDLE_FILE_INFORMATION* information) {
  BOOL read = g_information->Original<decltype(&GetFileInformationByHandle)>()(file, information);
  wchar_t path[MAX_PATH] = {};
  GetFinalPathNameByHandleW(file, path, MAX_PATH, FILE_NAME_NORMALIZED);
  information->nFileIndexLow ^= static_cast<DWORD>(std::hash<std::wstring>()(path));
  return read;
}

using Rename = MainWindowTest;

// A new name stays in its folder and replaces no file; Execute keeps its inputs, blanks and all.
TEST_F(Rename, TestPreviewsAndExecuteRenamesWithinTheFolderAndRemembers) {
  g_search.emplace("kernel32.dll", "FindFirstFileW", SearchingEveryName);
  const std::wstring plain = std::wstring(200, L'p') + L".txt"; // past the listing's first block
  MakeTree(folder_, plain + L" 0 abcabc.txt 0 bcbc.txt 0 .bc 0 x.bc.txt 0 sub\\ 0 q.jpg 0 "
                            L"sub\\q.jpg 0 r.jpg 0 %%bc.txt 0");
  const std::wstring find = L" \u4EAC" + std::wstring(259, L'x'), replace = L"c " + find;
  std::wstring ini = L"[Rename]\r\nMethod=5\r\nFilter=\"*.txt\"\r\nLength=3\r\n[Replace]\r\n"
                     L"CaseSensitive=7\r\nFind=\"" +
                     find + L"\"\r\nReplace=\"" + replace + L"\"";
  ini = Ini(ini.c_str()); // Find and Replace longer than the dialog keeps
  auto stored = [&ini](RenameSettings& loaded) {
    LoadRenameSettings(ini.c_str(), &loaded);
    return std::to_wstring(loaded.method) + loaded.filter + std::to_wstring(loaded.length) +
           std::to_wstring(loaded.caseSensitive) + loaded.find + L"|" + loaded.replace + L"|";
  };
  EXPECT_EQ(stored(g_renameSettings),
            L"5*.txt31" + find.substr(0, 259) + L"|" + replace.substr(0, 259) + L"|");
  // The last: a row is no format.
  const std::map<std::wstring, std::wstring> renamed = {{L"abcabc.txt", L"aX aX .txt"},
                                                        {L"bcbc.txt", L"X X .txt"},
                                                        {L"x.bc.txt", L"x.X .txt"},
                                                        {L"%%bc.txt", L"%%X .txt"}};
  // A rename never replaces a file: r.jpg wants the name q.jpg holds.
  std::vector<Inputs> runs = {{.method = RenameMatchEnd, .find = L"r", .replace = L"q"}};
  for (const wchar_t* filter : {L"sub\\*.jpg", L"sub/*.jpg", L"..\\*", L"a*"})
    runs.push_back({.find = L"q", .replace = L"x", .filter = filter});
  Names expected;
  for (const std::wstring& name : folder_.Listed(L"", false))
    if (renamed.count(name) != 0)
      expected.push_back(name + L" -> " + renamed.at(name));
  RenameDialog([&](HWND dialog) {
    std::wstring shown; // as the settings left them; a key typed at the start of each full one
    for (int id : {IDC_RENAME_LENGTH, IDC_RENAME_FIND, IDC_RENAME_REPLACE})
      shown +=
          (SendDlgItemMessageW(dialog, id, WM_CHAR, 'z', 1), TextOf(GetDlgItem(dialog, id))) + L'|';
    EXPECT_EQ(shown, L"z3|" + find.substr(0, 259) + L"|" + replace.substr(0, 259) + L"|");
    for (const Inputs& inputs : runs) {
      EXPECT_EQ(Preview(dialog, inputs).size(), inputs.find[0] == L'r')
          << inputs.replace << inputs.filter;
      RunRenameMethod(dialog, folder_.Path().c_str(), inputs.method, nullptr, -1);
    }
    // Case Sensitive came checked from the settings; the Filter chooses the files.
    EXPECT_EQ(Preview(dialog, {.find = L"BC", .replace = L"X ", .filter = L""}), Names{});
    EXPECT_EQ(Preview(dialog, {.method = RenameLength, .filter = L"a*"}),
              Names{L"abcabc.txt -> abc.txt"});
    EXPECT_EQ(Preview(dialog, {.method = RenameRemove, .find = L"bc", .filter = L"a*"}),
              Names{L"abcabc.txt -> aabc.txt"});
    EXPECT_EQ(Preview(dialog, {.find = L"bc", .replace = L"X ", .filter = L""}), expected);
    Press(dialog, IDOK);
  });
  EXPECT_EQ(folder_.Listed(), (Names{L"%%X .txt", L".bc", L"X X .txt", L"aX aX .txt", plain,
                                     L"q.jpg", L"r.jpg", L"sub\\", L"x.X .txt"}));
  EXPECT_EQ(folder_.Listed(L"sub"), Names{L"q.jpg"});
  RenameSettings after;
  EXPECT_EQ(stored(after), L"0*.*31bc|X |");
}

// A name another file holds is refused before the shell is asked; a row leaves only when its file
// has the new name, whatever the shell answered, else stays selected. Any change empties the list.
TEST_F(Rename, RenameItKeepsTheRowOfAFileItDidNotRename) {
  MakeTree(folder_, L"abc.txt 0 abd.txt 0");
  Ini(L"");
  g_shell.emplace("shell32.dll", "SHFileOperationW", CountedShell);
  // Inputs, what the shell does, whether it is asked, the files after, whether the row leaves.
  // clang-format off
  const std::tuple<Inputs, Shell, bool, Names, bool> rows[] = {
      {{RenameMatchEnd, L"d", L"c"}, Shell::kRenames, false, {L"abc.txt", L"abd.txt"}, false},
      {{RenameReplace, L"abd", L"x"}, Shell::kSkips, true, {L"abc.txt", L"abd.txt"}, false},
      {{RenameReplace, L"abd", L"ABD"}, Shell::kRenames, true, {L"ABD.txt", L"abc.txt"}, true},
      {{RenameReplace, L"ABD", L"e"}, Shell::kCopies, true, {L"ABD.txt", L"abc.txt", L"e.txt"}, false}};
  // clang-format on
  RenameDialog([&](HWND dialog) {
    for (const auto& [inputs, shell, asked, listed, leaves] : rows) {
      Names shown = Preview(dialog, inputs);
      ASSERT_EQ(shown.size(), 1u) << inputs.replace;
      g_shellCalls = 0;
      g_shellDoes = shell;
      SendDlgItemMessageW(dialog, IDC_RENAME_LIST, WM_KEYDOWN, VK_HOME, 0); // the first row chosen
      Press(dialog, IDC_RENAME_ONE);
      EXPECT_EQ(g_shellCalls, asked ? 1 : 0) << inputs.replace;
      EXPECT_EQ(folder_.Listed(), listed) << inputs.replace;
      EXPECT_EQ(Rows(dialog), leaves ? Names{} : shown) << inputs.replace;
      EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog, IDC_RENAME_ONE)), !leaves);
    }
    const std::function<void(HWND)> changes[] = {
        [](HWND dialog) { SetDlgItemTextW(dialog, IDC_RENAME_REPLACE, L"Y"); },
        [](HWND dialog) { SetDlgItemTextW(dialog, IDC_RENAME_FILTER, L"*.txt"); },
        [](HWND dialog) { SetDlgItemTextW(dialog, IDC_RENAME_LENGTH, L"2"); },
        [](HWND dialog) { Press(dialog, IDC_RENAME_CASE_SENSITIVE); },
        [](HWND dialog) { SetDlgItemTextW(dialog, IDC_RENAME_FIND, L"abc"); },
        [](HWND dialog) { ChooseMethod(dialog, RenameRemove); },
    };
    for (const auto& change : changes) {
      EXPECT_EQ(Preview(dialog, {.find = L"ab", .replace = L"X"}).size(), 2u);
      SendDlgItemMessageW(dialog, IDC_RENAME_LIST, WM_KEYDOWN, VK_HOME, 0); // the first row chosen
      change(dialog);
      EXPECT_EQ(Rows(dialog), Names{});
      EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_RENAME_ONE)));
    }
    RECT box, list[2]; // grown, the list takes it all; shrunk, it keeps the size it opened at
    GetWindowRect(dialog, &box);
    for (int by : {30, -900}) {
      SetWindowPos(dialog, 0, 0, 0, box.right - box.left + by, box.bottom - box.top + 2 * by, 0);
      GetClientRect(GetDlgItem(dialog, IDC_RENAME_LIST), &list[by < 0]);
    }
    EXPECT_TRUE(list[0].right - list[1].right == 30 && list[0].bottom - list[1].bottom == 60);
    Press(dialog, IDOK);
  });
  EXPECT_EQ(folder_.Listed(), (Names{L"D.txt", L"c.txt", L"e.txt"}));
  EXPECT_EQ(Setting(L"Rename", L"Length"), L"\\"); // Remove keeps the Length as typed
}

// t, the Target: a photo, junk, a folder named like junk, names Rename changes; r, the Reference:
// t's shape, a folder where t has a file, a file t has not, one another program is writing.
const wchar_t kSweepTree[] =
    L"t\\ 2010 t\\IMG_1.jpg 2001 t\\a_IMG_2.txt 2002 t\\b_IMG_4.txt 2017 t\\THUMBS.DB 2003 "
    L"t\\._dir\\ 2007 t\\sub\\ 2004 t\\sub\\IMG_3.txt 2005 t\\sub\\deep\\ 2008 "
    L"t\\sub\\deep\\.ds_store 2006 r\\ 2011 r\\IMG_1.jpg 2012 r\\a_IMG_2.txt\\ 2013 "
    L"r\\only.txt 2016 r\\sub\\ 2014 r\\sub\\IMG_3.txt 2015";

// Steps, the one in brackets swept: b Apply; T drop on the Target; O F L Open..., with Shift, with
// Control; G Get All; R Restore; C S Cleanup, with Shift; M N X Match answered Yes, No, not shown;
// P Test, E Execute, I Rename It; z Z t's files, and t, Modified in 2020. The Set and Exif
// commands make no call: T reads what they copy.
struct SweepRow {
  const wchar_t *steps, *target, *option, *seen; // option: MatchedFoldersOption; seen: no faults
};
const SweepRow kSweepRows[] = {{L"[b]", L"t\\IMG_1.jpg", L"33", L"OK|| exif-c exif-m"},
                               {L"[T]", L"t", L"33", L"|| exif-c exif-m"},
                               {L"[O]", L"t", L"33", L"|| exif-c exif-m"},
                               {L"[F]", L"t\\IMG_1.jpg", L"33", L"|| get cleanup rename"},
                               {L"GZ[L]", L"t", L"33", L"|| get cleanup rename"},
                               {L"GR[G]", L"t", L"33", L"|4| get restore cleanup rename"},
                               {L"G[C]", L"t", L"33", L"||1 get cleanup rename"},
                               {L"G[S]", L"t", L"33", L"||2 get cleanup rename"},
                               {L"GEz[R]R", L"t", L"33", L"|4|4 get restore cleanup rename"},
                               {L"Gz[E]R", L"t", L"33", L"|4|4 get restore cleanup rename"},
                               {L"Gz[I]R", L"t", L"33", L"|4|4 get restore cleanup rename"},
                               {L"[P]", L"t", L"33", L"|| get cleanup rename"},
                               {L"[M]", L"t", L"51", L"||3 get cleanup rename"},
                               {L"[M]", L"t", L"18", L"||4 get cleanup rename"},
                               {L"[N]", L"t", L"51", L"||0 get cleanup rename"},
                               {L"[X]", L"t", L"51", L"||0 get cleanup rename"}};

std::string Contents(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The "path year" a file holds last, or a folder's path.
std::string Own(const std::string& what) {
  return what.substr(what.rfind('\n') + 1);
}

// Where each item is, known by what it holds; one found twice says so.
using World = std::map<std::string, std::wstring>;
World Survey(const TempFolder& root, const std::wstring& under = L"", World world = {}) {
  for (const std::wstring& name : root.Listed(under)) {
    std::wstring item = under.empty() ? name : under + L"\\" + name;
    bool folder = item.back() == L'\\';
    auto [at, added] = world.emplace(folder ? Narrow(item) : Contents(root.PathOf(item)), item);
    at->second += added ? L"" : L" and " + item;
    world = folder ? Survey(root, item.substr(0, item.size() - 1), std::move(world)) : world;
  }
  return world;
}

struct Outcome {
  World world;
  std::set<std::pair<std::string, std::wstring>> writes; // item and times, from the swept step on
  std::vector<FaultInjector::Call> calls;                // of the swept step
};

class FaultSweep : public MainWindowTest {
protected:
  // Takes the row's steps, the planned call failed in the swept one; checks the window and disk.
  Outcome Run(const SweepRow& row);

  FaultInjector faults_;
  World start_;
  bool clean_ = false;
};

Outcome FaultSweep::Run(const SweepRow& row) {
  // The same paths every run, so that the paths remembered in the settings file are too.
  if (!std::exchange(clean_, true)) {
    TempFolder::RemoveTree(folder_.PathOf(L"t")), TempFolder::RemoveTree(folder_.PathOf(L"r"));
    const std::string d = "2019:07:04 18:30:05"; // the photo's Exif dates
    Bytes jpeg =
        JpegBuilder().Exif(BuildTiff(CameraLayout(ByteOrder::kIntel, d, d, d))).Build(70000);
    MakeTree(folder_, kSweepTree, std::string(jpeg.begin(), jpeg.end()) + "\n");
    start_ = Survey(folder_);
  }
  UniqueFile busy(CreateFileW(folder_.PathOf(L"r\\sub\\IMG_3.txt").c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, 0));
  // No value the commands write is shorter than the one it replaces, so the file never shrinks.
  std::wstring ini = L"[Rename]\r\nMethod=3\r\nFilter=\"*\"\r\n[Replace]\r\nFind=\"IMG\"\r\n"
                     L"[General]\r\nMatchedFoldersOption=";
  ini = Ini((ini + row.option).c_str());
  size_t settings = Contents(ini).size();
  SetDlgItemTextW(window_, IDC_APPLY_RESULT, L"");
  // A pane is given its path again only when it shows another: each new path costs a tooltip.
  for (auto [pane, path] : {std::pair{Target(), folder_.PathOf(row.target)},
                            std::pair{Reference(), folder_.PathOf(L"r")}})
    if (PanePath(pane) != path && SetPanePath(pane, path.c_str()) != 1)
      ADD_FAILURE() << "not set: " << Narrow(path);
  DiscardSnapshot(State());
  ShowPaneTimes(Target(), &State()->exifDates);
  ShowPaneTimes(Reference(), nullptr);
  system_.fileChoice = folder_.PathOf(L"t\\IMG_1.jpg");
  system_.folderChoice = folder_.PathOf(L"t");
  Outcome out;
  Names writes;
  for (const wchar_t* at = row.steps; *at != L'\0'; ++at) {
    wchar_t step = *at;
    bool swept = at != row.steps && at[-1] == L'[', apply = step == L'b',
         cleanup = step == L'C' || step == L'S';
    system_.keysDown = {wcschr(L"SFL", step) ? VK_SHIFT : 0, step == L'L' ? VK_CONTROL : 0};
    system_.boxAnswers = {step == L'N' ? IDNO : step == L'X' ? 0 : IDYES};
    system_.boxes.clear();
    size_t files = cleanup ? Survey(folder_).size() : 0;
    for (const std::wstring& name : wcschr(L"zZ", step) ? folder_.Listed(L"t") : Names{})
      if (name.back() != L'\\')
        SetModifiedTicks(folder_.PathOf(L"t\\" + name), ExpectedUtcTicks(At(2020)));
    if (step == L'Z')
      SetModifiedTicks(folder_.PathOf(L"t"), ExpectedUtcTicks(At(2020)));
    SetFileTimeRecorder recorder;
    system_.dialog = [&](HWND dialog) {
      Names rows = Preview(dialog, {.find = L"IMG_", .replace = L"P_", .filter = L""});
      // Row 1 of 3 chosen by typing its first letter there: the search starts at row 2 and wraps.
      ListView_SetItemState(GetDlgItem(dialog, IDC_RENAME_LIST), 1, LVIS_FOCUSED, LVIS_FOCUSED);
      SendDlgItemMessageW(dialog, IDC_RENAME_LIST, WM_CHAR, rows[1][0], 1);
      faults_.thread = swept ? GetCurrentThreadId() : 0;
      Press(dialog, step == L'P' ? IDC_RENAME_TEST : step == L'E' ? IDOK : IDC_RENAME_ONE);
      faults_.thread = 0;
      std::wstring old = rows[1].substr(0, rows[1].find(L" -> ")),
                   now = rows[1].substr(old.size() + 4);
      bool left = step == L'I' && Rows(dialog) != rows,
           renamed = !PathFileExistsW(folder_.PathOf(L"t\\" + old).c_str()) &&
                     PathFileExistsW(folder_.PathOf(L"t\\" + now).c_str());
      for (const std::wstring& shown : step == L'P' ? Rows(dialog) : Names{}) // only what is so
        EXPECT_NE(std::find(rows.begin(), rows.end(), shown), rows.end()) << Narrow(shown);
      if (step == L'I') {
        EXPECT_EQ(Rows(dialog), (left && renamed ? Names{rows[0], rows[2]} : rows));
        EXPECT_EQ(ListView_GetNextItem(GetDlgItem(dialog, IDC_RENAME_LIST), -1, LVNI_SELECTED),
                  left ? -1 : 1);
      }
    };
    const std::tuple<const wchar_t*, HWND, int> buttons[] = {
        {L"b", window_, IDC_APPLY_BOTH},   {L"G", window_, IDC_GET_ALL_MODIFIED},
        {L"R", window_, IDC_RESTORE},      {L"CS", window_, IDC_CLEANUP},
        {L"OFL", Target(), IDC_PANE_OPEN},
    };
    faults_.thread = swept ? GetCurrentThreadId() : 0;
    if (step == L'T')
      DropOn(IDC_TARGET_PLACEHOLDER, {folder_.PathOf(L"t\\IMG_1.jpg")});
    if (wcschr(L"MNX", step))
      SendMessageW(window_, WM_SYSCOMMAND, IDM_MATCH_DATETIME, 0);
    for (auto [keys, parent, id] : buttons) // pressed as a user can: when enabled
      if (wcschr(keys, step) && IsWindowEnabled(GetDlgItem(parent, id)))
        SendMessageW(parent, WM_COMMAND, id, 0);
    faults_.thread = 0;
    if (step == L'P' || step == L'E' || step == L'I')
      Command(IDM_RENAME_FILES);
    Names written = recorder.Lines(folder_.Path());
    bool failed = swept && faults_.fired;
    // Only Apply and Match write Created times; Match in t only what its option (or default) asks.
    bool unread = faults_.fired && faults_.function == "GetPrivateProfileIntW";
    int succeeded = 0, option = unread ? 33 : std::stoi(row.option);
    for (const std::wstring& write : written) {
      succeeded += write.find(L" failed") == std::wstring::npos;
      std::wstring path = folder_.PathOf(write.substr(0, write.find(L" C")));
      bool file = !(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
      std::string times = Narrow(write.substr(0, 2)) + (file && !(option & 0x10) ? "file " : "") +
                          (write.find(L" C-") == std::wstring::npos ? "C" : "") +
                          (write.find(L" M-") == std::wstring::npos ? "M" : "") +
                          (write.find(L"+1234") == std::wstring::npos ? "" : " whole");
      EXPECT_EQ(times, step != L'M'
                           ? times.substr(0, step == L'b' ? std::string::npos : times.find('C'))
                           : std::string("t\\") + (option & 2 ? "C" : "") +
                                 (option & 1 ? "M" : "") + " whole");
    }
    EXPECT_TRUE(system_.boxes.empty() ||
                system_.boxes == Names{folder_.PathOf(L"r\\") + L"\r\nTo\r\n" +
                                       folder_.PathOf(L"t\\") + L"|Matched Folders DateTime|4"});
    // The count is of the records held, and Restore is there exactly while they are.
    HGLOBAL snapshot = State()->modifiedSnapshot;
    uint32_t filled = 0;
    if (auto* records = static_cast<FolderEntry*>(snapshot ? GlobalLock(snapshot) : nullptr)) {
      for (uint32_t i = 0; i < State()->snapshotCount; ++i)
        filled += records[i].fullPath[0] != L'\0';
      GlobalUnlock(snapshot);
    }
    EXPECT_EQ(ControlText(IDC_SNAPSHOT_COUNT) + (Enabled(IDC_RESTORE) ? L"+" : L""),
              snapshot ? std::to_wstring(filled) + L"+" : L"");
    // Apply says why a write failed; the folder commands count what they did.
    std::wstring said = ControlText(apply ? IDC_APPLY_RESULT : IDC_FOLDER_RESULT);
    EXPECT_EQ(said, apply                   ? (succeeded ? L"OK" : std::to_wstring(faults_.error))
                    : step == L'G'          ? L""
                    : cleanup               ? std::to_wstring(files - Survey(folder_).size())
                    : wcschr(L"RMNX", step) ? std::to_wstring(succeeded)
                                            : said);
    // Unless it failed, Restore (not after Rename It) put t's files back; Cleanup, Execute folders.
    std::string tree = " " + Narrow(kSweepTree) + " ";
    bool whole = !failed && (step == L'R' ? !wcsstr(row.steps, L"[I]") : cleanup || step == L'E');
    // Open... remembers the file or folder it chose, Control + Open... neither.
    if (wcschr(L"OFL", step) && !failed) {
      EXPECT_EQ(Setting(L"FilePath", L"Target") + L"|" + Setting(L"DirPath", L"Target"),
                (step == L'O' ? system_.fileChoice : L"") + L"|" +
                    (step == L'F' ? system_.folderChoice : L""));
    }
    for (const auto& [what, where] : whole ? Survey(folder_) : World{}) {
      bool folder = where.back() == L'\\';
      if (where.rfind(L"t\\", 0) == 0 &&
          (step == L'R' ? !folder && where.find(L'\\', 2) == std::wstring::npos : folder)) {
        EXPECT_EQ(
            FileTicks(folder_.PathOf(where)),
            1234 + ExpectedUtcTicks(At(WORD(std::stoi(
                       folder ? tree.substr(tree.find(" " + Own(what) + " ") + what.size() + 2, 4)
                              : Own(what).substr(Own(what).find(' ') + 1))))))
            << Narrow(where);
      }
    }
    // A pane never shows another path's times.
    std::wstring path = PathText(Target()), times = ShownTicks(FileTicks(path, true)) + L" M";
    if (wcschr(L"TOFL", step) && PathFileExistsW(path.c_str()) && !(step == L'L' && failed)) {
      EXPECT_EQ(PanePath(Target()) + Pickers(Target()),
                path + L"C" + times + ShownTicks(FileTicks(path)));
    }
    clean_ = clean_ && !wcschr(L"zZ", step) && written.empty();
    writes.insert(writes.end(), wcschr(row.steps, L'[') < at ? written.begin() : written.end(),
                  written.end());
    out.calls = swept ? faults_.calls : out.calls;
  }
  out.world = Survey(folder_);
  clean_ = clean_ && out.world == start_;
  // A write is known by the item now at its path; an attempt counts.
  for (const std::wstring& write : writes) {
    std::wstring path = write.substr(0, write.find(L" C")), times = write.substr(path.size());
    std::string item = "?" + Narrow(path);
    for (const auto& [what, where] : out.world)
      item = where == path || where == path + L"\\" ? what : item;
    out.writes.insert({item, times.substr(0, times.find(L" failed"))});
  }
  EXPECT_GE(Contents(ini).size(), settings) << "the settings file cut short";
  return out;
}

TEST_F(FaultSweep, EachFileSystemCallOfEachCommandFailedInTurn) {
  const DWORD errors[] = {5, 32, 2, 3, 112, 21, 64};
  g_information.emplace("kernel32.dll", "GetFileInformationByHandle", IndexMovedByRenames);
  for (const SweepRow& row : kSweepRows) {
    SCOPED_TRACE(Narrow(row.steps) + " " + Narrow(row.option));
    faults_.Plan("", 0, 0);
    Outcome base = Run(row);
    EXPECT_EQ(Seen(), row.seen);
    // Each call once, the errors in turn; those that write, delete or rename with every error.
    for (size_t i = 0; i < base.calls.size() && !HasFailure(); ++i) {
      const FaultInjector::Call& call = base.calls[i];
      for (size_t e = call.writes ? 0 : i % 7; e < (call.writes ? 7 : i % 7 + 1); ++e) {
        SCOPED_TRACE(call.function + " #" + std::to_string(call.number) + " fails with " +
                     std::to_string(errors[e]));
        faults_.Plan(call.function, call.number, errors[e]);
        Outcome got = Run(row);
        EXPECT_TRUE(faults_.fired);
        // Each item is where it was or where the fault-free run took it, once, unchanged; only
        // what that run deleted is gone, and only what it wrote is written, once.
        for (const auto& [what, where] : got.world)
          EXPECT_EQ(start_.count(what), 1u) << "new or changed: " << Narrow(where);
        for (const auto& [what, where] : start_) {
          auto now = got.world.find(what), then = base.world.find(what);
          bool gone = now == got.world.end(), deleted = then == base.world.end();
          EXPECT_TRUE(gone ? deleted
                           : now->second == where || (!deleted && now->second == then->second))
              << Own(what) << (gone ? " lost" : " now at " + Narrow(now->second));
        }
        std::string last;
        for (const auto& write : got.writes) {
          EXPECT_TRUE(call.function == "GetPrivateProfileIntW"
                          ? Own(write.first).rfind("t\\", 0) == 0
                          : base.writes.count(write) == 1)
              << Own(write.first) << Narrow(write.second);
          EXPECT_NE(write.first, std::exchange(last, write.first))
              << "written twice: " << Own(last);
        }
      }
    }
  }
}

} // namespace
