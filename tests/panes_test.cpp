// The panes: what a path brings into them and the main window, from every way a path arrives.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include "base/handles.h"
#include "filetime/path_times.h"
#include "panes/drop_target.h"
#include "panes/pane_display.h"
#include "panes/pane_time.h"
#include "panes/path_pane.h"
#include "resources/resource_ids.h"
#include "tests/support/file_times.h"
#include "tests/support/jpeg_builder.h"
#include "tests/support/main_window_fixture.h"

namespace {

class Panes : public MainWindowTest {
protected:
  std::wstring Stamped(const std::wstring& name, WORD year) {
    std::wstring file = folder_.MakeFile(name);
    SYSTEMTIME modified = Local(year, 1, 1, 1, 1, 1);
    EXPECT_EQ(SetPathTimes(file.c_str(), nullptr, &modified, nullptr), 1);
    return file;
  }
  WORD Year(HWND pane) { return ReadPaneTime(pane, PaneTime::Modified).wYear; }
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
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
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
  std::wstring Shortcut(const std::wstring& name, const std::wstring& target) {
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    EXPECT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                              IID_IShellLinkW, reinterpret_cast<void**>(&link)));
    link->SetPath(target.c_str());
    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    EXPECT_HRESULT_SUCCEEDED(file->Save(folder_.PathOf(name).c_str(), TRUE));
    file->Release();
    link->Release();
    return folder_.PathOf(name);
  }
};

// The Target's kind drives the title, the folder buttons and the system menu, and ends the
// snapshot; a path that does not exist leaves the buttons as they were.
TEST_F(Panes, TheMainWindowFollowsTheKindOfTargetPath) {
  std::wstring album = folder_.MakeFolder(L"Album");
  std::wstring photo = folder_.MakeFile(L"photo.jpg");
  struct Row {
    std::wstring path;
    std::wstring title;
    bool folderButtons;
  };
  const Row rows[] = {{album, album + L" - Datewright", true},
                      {folder_.PathOf(L"gone"), L"Datewright", true},
                      {photo, L"photo.jpg - Datewright", false},
                      {folder_.PathOf(L"gone"), L"Datewright", false}};
  for (const Row& row : rows) {
    State()->modifiedSnapshot = GlobalAlloc(GHND, 16);
    EnableWindow(GetDlgItem(window_, IDC_RESTORE), TRUE);
    ASSERT_EQ(SetPanePath(Target(), row.path.c_str()), 1);
    EXPECT_EQ(TextOf(window_), row.title);
    for (int id : {IDC_GET_ALL_MODIFIED, IDC_CLEANUP, IDM_RENAME_FILES})
      EXPECT_EQ(Enabled(id), row.folderButtons) << id;
    EXPECT_EQ(State()->modifiedSnapshot, nullptr);
    EXPECT_FALSE(Enabled(IDC_RESTORE));
  }
  ASSERT_EQ(SetPanePath(Target(), album.c_str()), 1);
  EXPECT_TRUE(MenuEnabled(IDM_RENAME_FILES));
  EXPECT_FALSE(MenuEnabled(IDM_MATCH_DATETIME));
  ASSERT_EQ(SetPanePath(Reference(), album.c_str()), 1);
  EXPECT_TRUE(MenuEnabled(IDM_MATCH_DATETIME));
  EXPECT_EQ(TextOf(window_), album + L" - Datewright");
}

// Open... chooses a file, a folder with Shift, or reloads with Control; it remembers choices in
// the settings file, quoted, and starts from them when the pane is empty.
TEST_F(Panes, OpenChoosesRemembersAndReloads) {
  std::wstring old = folder_.MakeFile(L"old.jpg");
  std::wstring ini =
      folder_.MakeFile(L"Datewright.ini",
                       "[FilePath]\r\nTarget=\"" + std::string(old.begin(), old.end()) + "\"\r\n");
  lstrcpyW(State()->iniPath, ini.c_str());
  std::wstring photo = Stamped(L"photo.jpg", 2003);
  std::wstring album = folder_.MakeFolder(L"Album");
  system_.fileChoice = photo;
  wchar_t before[MAX_PATH] = {};
  wchar_t after[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, before);
  SendMessageW(Target(), WM_COMMAND, IDC_PANE_OPEN, 0);
  GetCurrentDirectoryW(MAX_PATH, after);
  EXPECT_STREQ(after, before); // a relative path must go on naming the same file
  EXPECT_EQ(system_.fileProposed, old);
  EXPECT_EQ(PanePath(Target()), photo);
  EXPECT_EQ(Year(Target()), 2003);
  wchar_t stored[300] = {};
  GetPrivateProfileStringW(L"FilePath", L"Target", L"", stored, 300, ini.c_str());
  EXPECT_EQ(std::wstring(stored), photo);

  system_.keysDown = {VK_SHIFT};
  system_.folderChoice = album;
  SendMessageW(Target(), WM_COMMAND, IDC_PANE_OPEN, 0);
  EXPECT_EQ(system_.folderPreselected, folder_.Path() + L"\\");
  EXPECT_EQ(PanePath(Target()), album);
  GetPrivateProfileStringW(L"DirPath", L"Target", L"", stored, 300, ini.c_str());
  EXPECT_EQ(std::wstring(stored), album);

  // Control wins over Shift: the times on disk now, the snapshot gone, no dialog.
  SYSTEMTIME later = Local(2009, 9, 9, 9, 9, 9);
  SetPathTimes(album.c_str(), nullptr, &later, nullptr);
  State()->modifiedSnapshot = GlobalAlloc(GHND, 16);
  system_.keysDown = {VK_SHIFT, VK_CONTROL};
  SendMessageW(Reference(), WM_COMMAND, IDC_PANE_OPEN, 0);
  SendMessageW(Target(), WM_COMMAND, IDC_PANE_OPEN, 0);
  EXPECT_EQ(system_.folderDialogs, 1);
  EXPECT_EQ(State()->modifiedSnapshot, nullptr);
  EXPECT_EQ(Year(Target()), 2009);
}

// Yes takes the target, No the shortcut itself; Cancel, or a box that could not be shown, refuses.
TEST_F(Panes, TheShortcutQuestionDecidesThePath) {
  std::wstring photo = Stamped(L"photo.jpg", 2003);
  std::wstring link = Shortcut(L"photo.lnk", photo);
  std::wstring before = Stamped(L"before.jpg", 2001);
  system_.boxAnswers = {IDYES, IDNO, IDCANCEL, 0};
  for (const std::wstring& expected : {photo, link, before, before}) {
    ASSERT_EQ(SetPanePath(Target(), before.c_str()), 1);
    EXPECT_EQ(SetPanePath(Target(), link.c_str()), expected == before ? 0 : 1);
    EXPECT_EQ(PanePath(Target()), expected);
  }
  ASSERT_EQ(system_.boxes.size(), 4u);
  EXPECT_EQ(system_.boxes[0].caption, L"photo.jpg");
  EXPECT_EQ(system_.boxes[0].type & MB_TYPEMASK, UINT{MB_YESNOCANCEL});
}

// The pane ends on the last name taken, with that name's own times; a name is refused when the
// shortcut question is cancelled, when it is too long, or when it exists but its times cannot
// be read.
TEST_F(Panes, ADropSetsEachNameInTurnUntilOneIsRefused) {
  std::wstring first = Stamped(L"first.jpg", 2013);
  std::wstring last = Stamped(L"last.jpg", 2014);
  std::wstring noTimes = folder_.MakeFile(L"locked.jpg");
  GetFileTimeOverride locked(noTimes, std::nullopt);
  EXPECT_EQ(DropOn(IDC_TARGET_PLACEHOLDER, {first, last}), 1);
  EXPECT_EQ(PanePath(Target()), last);
  EXPECT_EQ(Year(Target()), 2014);
  for (const std::wstring& refused : {folder_.MakeFile(L"bad.lnk", "no shortcut"),
                                      folder_.PathOf(std::wstring(300, L'n')), noTimes}) {
    EXPECT_EQ(DropOn(IDC_TARGET_PLACEHOLDER, {first, refused, last}), 0);
    EXPECT_EQ(PanePath(Target()), first);
    EXPECT_EQ(Year(Target()), 2013);
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
    const DWORD offered = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    DWORD effects[3] = {offered, offered, offered};
    target->DragEnter(data, MK_LBUTTON, {0, 0}, &effects[0]);
    target->DragOver(MK_LBUTTON, {0, 0}, &effects[1]);
    EXPECT_EQ(target->Drop(data, 0, {0, 0}, &effects[2]), S_OK);
    DWORD expected = format == CF_HDROP ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    EXPECT_EQ(std::vector<DWORD>(effects, effects + 3), std::vector<DWORD>(3, expected));
    data->Release();
  }
  EXPECT_EQ(target->Release(), 0u);
}

// A JPEG with these Exif dates ("" leaves one out) in IFD0 and the Exif IFD.
std::string PhotoWith(const std::string& dateTime, const std::string& original,
                      const std::string& digitized, size_t size) {
  TiffLayout layout;
  layout.chain.push_back({Ascii(0x010F, "Camera")});
  if (!dateTime.empty())
    layout.chain[0].push_back(Ascii(0x0132, dateTime));
  layout.exif = Ifd{};
  if (!original.empty())
    layout.exif->push_back(Ascii(0x9003, original));
  if (!digitized.empty())
    layout.exif->push_back(Ascii(0x9004, digitized));
  Bytes bytes = JpegBuilder().Exif(BuildTiff(layout).bytes).Build(size);
  return std::string(bytes.begin(), bytes.end());
}

// The Exif commands follow the dates present; a date no picker can show counts as absent.
TEST_F(Panes, TheExifCommandsFollowTheDatesAPickerCanShow) {
  const std::string date = "2019:07:04 18:30:05";
  struct Row {
    std::string dateTime, original, digitized;
    bool toCreated, toModified;
  };
  const Row rows[] = {{"", "", date, false, true},
                      {date, "", "", true, true},
                      {"", date, "", true, false},
                      {"", "2019:13:04 18:30:05", "2019:00:04 18:30:05", false, false},
                      {"2019:07:04 25:30:05", "", date, false, true}};
  for (const Row& row : rows) {
    std::wstring photo =
        folder_.MakeFile(L"photo.jpg", PhotoWith(row.dateTime, row.original, row.digitized, 70000));
    ASSERT_EQ(SetPanePath(Target(), photo.c_str()), 1);
    ASSERT_NE(ShowPaneTimes(Target(), &State()->exifDates), 0);
    EXPECT_EQ(Enabled(IDC_EXIF_TO_CREATED), row.toCreated) << row.original;
    EXPECT_EQ(Enabled(IDC_EXIF_TO_MODIFIED), row.toModified) << row.digitized;
  }
}

// A stamp before the pickers' first day (a zero stamp reads as 1601), or one no conversion takes,
// shows as that first day, never as the time of the path shown before.
TEST_F(Panes, AStampThePickersCannotHoldShowsAsTheirFirstDay) {
  std::wstring photo = folder_.MakeFile(L"photo.jpg");
  for (uint64_t created : {uint64_t{0}, kUnconvertibleTicks}) {
    WritePaneTime(Target(), PaneTime::Created, Local(1995, 5, 5, 5, 5, 5));
    GetFileTimeOverride override(photo, created);
    ASSERT_EQ(SetPanePath(Target(), photo.c_str()), 1);
    ASSERT_NE(ShowPaneTimes(Target(), &State()->exifDates), 0);
    SYSTEMTIME shown = ReadPaneTime(Target(), PaneTime::Created);
    EXPECT_EQ(std::vector<WORD>({shown.wYear, shown.wMonth, shown.wDay, shown.wHour}),
              std::vector<WORD>({1752, 9, 14, 0}))
        << created;
  }
}

} // namespace
