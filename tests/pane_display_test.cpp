#include "panes/pane_display.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "filetime/path_times.h"
#include "panes/pane_time.h"
#include "resources/resource_ids.h"
#include "tests/support/file_times.h"
#include "tests/support/jpeg_builder.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/temp_folder.h"

namespace {

class PaneDisplay : public MainWindowTest {
protected:
  // A snapshot as the Get All Modified DateTime command leaves it.
  void FakeSnapshot() {
    State()->modifiedSnapshot = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 64);
    State()->snapshotCount = 3;
    EnableWindow(GetDlgItem(window_, IDC_RESTORE), TRUE);
    SetDlgItemTextW(window_, IDC_SNAPSHOT_COUNT, L"3");
    SetDlgItemTextW(window_, IDC_FOLDER_RESULT, L"2");
  }
  bool SnapshotDiscarded() const {
    return State()->modifiedSnapshot == nullptr && !Enabled(IDC_RESTORE) &&
           ControlText(IDC_SNAPSHOT_COUNT).empty() && ControlText(IDC_FOLDER_RESULT).empty();
  }
  bool FolderButtons(bool enabled) const {
    return Enabled(IDC_GET_ALL_MODIFIED) == enabled && Enabled(IDC_CLEANUP) == enabled &&
           Enabled(IDM_RENAME_FILES) == enabled;
  }
  SYSTEMTIME Picker(HWND pane, int id) const {
    SYSTEMTIME time = {};
    SendDlgItemMessageW(pane, id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
    return time;
  }
  bool Posted1022() const {
    MSG message;
    bool found = false;
    while (PeekMessageW(&message, window_, WM_COMMAND, WM_COMMAND, PM_REMOVE))
      found = found || message.wParam == IDC_GET_ALL_MODIFIED;
    return found;
  }

  TempFolder folder_;
};

TEST_F(PaneDisplay, TheMainWindowFollowsTheKindOfTargetPath) {
  std::wstring album = folder_.MakeFolder(L"Album");
  std::wstring photo = folder_.MakeFile(L"Album\\photo.jpg");

  ASSERT_EQ(SetPanePath(Target(), album.c_str()), 1);
  EXPECT_EQ(PanePath(Target()), album);
  EXPECT_EQ(TextOf(window_), album + L" - Datewright");
  EXPECT_TRUE(FolderButtons(true));
  EXPECT_EQ(ToolText(State()->target.pathTooltip, Target(), IDC_PANE_PATH), album);

  ASSERT_EQ(SetPanePath(Target(), photo.c_str()), 1);
  EXPECT_EQ(TextOf(window_), L"photo.jpg - Datewright");
  EXPECT_TRUE(FolderButtons(false));
  EXPECT_EQ(ToolText(State()->target.pathTooltip, Target(), IDC_PANE_PATH), photo);

  // A missing path is taken, but leaves the folder buttons as they were.
  SetPanePath(Target(), album.c_str());
  std::wstring missing = folder_.PathOf(L"gone.jpg");
  ASSERT_EQ(SetPanePath(Target(), missing.c_str()), 1);
  EXPECT_EQ(PanePath(Target()), missing);
  EXPECT_EQ(TextOf(window_), L"Datewright");
  EXPECT_TRUE(FolderButtons(true));
}

TEST_F(PaneDisplay, ATargetChangeDiscardsTheSnapshotAndGraysRename) {
  HMENU menu = State()->systemMenu;
  for (const std::wstring& path :
       {folder_.MakeFolder(L"a"), folder_.MakeFile(L"b.txt"), folder_.PathOf(L"missing")}) {
    FakeSnapshot();
    EnableMenuItem(menu, IDM_RENAME_FILES, MF_ENABLED);
    ASSERT_EQ(SetPanePath(Target(), path.c_str()), 1);
    EXPECT_TRUE(SnapshotDiscarded()) << path;
    EXPECT_NE(GetMenuState(menu, IDM_RENAME_FILES, MF_BYCOMMAND) & MF_GRAYED, 0u) << path;
  }
}

TEST_F(PaneDisplay, AReferencePathChangesNothingInTheMainWindow) {
  std::wstring album = folder_.MakeFolder(L"Album");
  FakeSnapshot();
  std::wstring title = TextOf(window_);
  ASSERT_EQ(SetPanePath(Reference(), album.c_str()), 1);
  EXPECT_EQ(PanePath(Reference()), album);
  EXPECT_EQ(TextOf(window_), title);
  EXPECT_TRUE(FolderButtons(false));
  EXPECT_NE(State()->modifiedSnapshot, nullptr);
  EXPECT_TRUE(Enabled(IDC_RESTORE));
  EXPECT_EQ(ToolText(State()->reference.pathTooltip, Reference(), IDC_PANE_PATH), album);
  EXPECT_EQ(State()->target.pathTooltip, nullptr);
}

TEST_F(PaneDisplay, RefusesAPathTooLongForItsBufferWhole) {
  std::wstring album = folder_.MakeFolder(L"Album");
  ASSERT_EQ(SetPanePath(Target(), album.c_str()), 1);
  FakeSnapshot();
  std::wstring title = TextOf(window_);
  std::wstring tooLong = album + L"\\" + std::wstring(259 - album.size(), L'x');
  ASSERT_EQ(tooLong.size(), 260u);
  EXPECT_EQ(SetPanePath(Target(), tooLong.c_str()), 0);
  EXPECT_EQ(SetPanePath(Target(), nullptr), 0);
  EXPECT_EQ(PanePath(Target()), album);
  EXPECT_EQ(TextOf(window_), title);
  EXPECT_NE(State()->modifiedSnapshot, nullptr);

  // 259 characters are still taken.
  tooLong.pop_back();
  EXPECT_EQ(SetPanePath(Target(), tooLong.c_str()), 1);
  EXPECT_EQ(PanePath(Target()), tooLong);
}

TEST_F(PaneDisplay, CutsALongFolderTitleAt327Characters) {
  std::wstring deep = folder_.Path();
  while (deep.size() < 240) {
    deep += L"\\" + std::wstring(std::min<size_t>(60, 239 - deep.size()), L'f');
    ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr)) << GetLastError();
  }
  std::wstring base(63, L'T');
  lstrcpyW(State()->baseTitle, base.c_str());
  ASSERT_EQ(SetPanePath(Target(), deep.c_str()), 1);
  std::wstring title = TextOf(window_);
  EXPECT_EQ(title.size(), std::min<size_t>(327, deep.size() + 3 + 63));
  EXPECT_EQ(title.substr(0, deep.size() + 3), deep + L" - ");
}

TEST_F(PaneDisplay, PostsTheSnapshotCommandForAFolderWhenTheSwitchIsOn) {
  std::wstring album = folder_.MakeFolder(L"Album");
  std::wstring photo = folder_.MakeFile(L"photo.jpg");
  std::wstring ini =
      folder_.MakeFile(L"Datewright.ini", "[General]\r\nGetAllModifiedDateTime=0\r\n");
  lstrcpyW(State()->iniPath, ini.c_str());
  SetPanePath(Target(), album.c_str());
  EXPECT_FALSE(Posted1022());

  folder_.MakeFile(L"Datewright.ini", "[General]\r\nGetAllModifiedDateTime=1\r\n");
  SetPanePath(Target(), photo.c_str());
  EXPECT_FALSE(Posted1022());
  SetPanePath(Reference(), album.c_str());
  EXPECT_FALSE(Posted1022());
  SetPanePath(Target(), album.c_str());
  EXPECT_TRUE(Posted1022());
}

TEST_F(PaneDisplay, ShowsTheTimesOfThePathInThePickers) {
  std::wstring photo = folder_.MakeFile(L"photo.jpg");
  SYSTEMTIME modified = {2011, 4, 0, 5, 6, 7, 8, 0};
  ASSERT_EQ(SetPathTimes(photo.c_str(), nullptr, &modified, nullptr), 1);
  ASSERT_EQ(SetPanePath(Reference(), photo.c_str()), 1);
  ASSERT_NE(ShowPaneTimes(Reference(), nullptr), 0);
  SYSTEMTIME date = Picker(Reference(), IDC_PANE_MODIFIED_DATE);
  SYSTEMTIME time = Picker(Reference(), IDC_PANE_MODIFIED_TIME);
  EXPECT_EQ(date.wYear, 2011);
  EXPECT_EQ(date.wMonth, 4);
  EXPECT_EQ(date.wDay, 5);
  EXPECT_EQ(time.wHour, 6);
  EXPECT_EQ(time.wMinute, 7);
  EXPECT_EQ(time.wSecond, 8);
}

// A JPEG with the given Exif dates in IFD0 and the Exif IFD ("" leaves a date out).
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

TEST_F(PaneDisplay, EnablesTheExifCommandsByTheDatesPresent) {
  const std::string date = "2019:07:04 18:30:05";
  struct Case {
    std::string dateTime, original, digitized;
    size_t size;
    bool toCreated, toModified;
  };
  const Case cases[] = {
      {"", "", date, 70000, false, true},
      {date, "", "", 70000, true, true},
      {"", date, "", 70000, true, false},
      {date, date, date, 65535, false, false},
      {"", "", "", 70000, false, false},
      // Dates no picker can show count as absent.
      {"", "2019:13:04 18:30:05", "2019:00:04 18:30:05", 70000, false, false},
      {"2019:07:04 25:30:05", "", date, 70000, false, true},
  };
  for (const Case& c : cases) {
    std::wstring photo =
        folder_.MakeFile(L"photo.jpg", PhotoWith(c.dateTime, c.original, c.digitized, c.size));
    EnableWindow(GetDlgItem(window_, IDC_EXIF_TO_CREATED), TRUE);
    EnableWindow(GetDlgItem(window_, IDC_EXIF_TO_MODIFIED), TRUE);
    ASSERT_EQ(SetPanePath(Target(), photo.c_str()), 1);
    ASSERT_NE(ShowPaneTimes(Target(), &State()->exifDates), 0);
    EXPECT_EQ(Enabled(IDC_EXIF_TO_CREATED), c.toCreated) << c.size << c.dateTime << c.original;
    EXPECT_EQ(Enabled(IDC_EXIF_TO_MODIFIED), c.toModified) << c.size << c.digitized;
    if (!c.toCreated) {
      EXPECT_EQ(State()->exifDates.dateTimeOriginal.wYear, 0);
    }
    if (c.toModified && c.dateTime.empty()) {
      EXPECT_EQ(State()->exifDates.dateTimeDigitized.wYear, 2019);
      EXPECT_EQ(State()->exifDates.dateTimeDigitized.wSecond, 5);
    }
  }
}

// A stamp before the pickers' first day (a zero stamp reads as 1601), or one past every
// conversion, shows as that first day: never as the time of the path shown before.
TEST_F(PaneDisplay, AStampThePickersCannotHoldShowsAsTheirFirstDay) {
  std::wstring photo = folder_.MakeFile(L"photo.jpg");
  for (uint64_t created : {uint64_t{0}, kUnconvertibleTicks}) {
    WritePaneTime(Target(), PaneTime::Created, Local(1995, 5, 5, 5, 5, 5));
    GetFileTimeOverride override(photo, created);
    ASSERT_EQ(SetPanePath(Target(), photo.c_str()), 1);
    ASSERT_NE(ShowPaneTimes(Target(), &State()->exifDates), 0);
    SYSTEMTIME shown = ReadPaneTime(Target(), PaneTime::Created);
    EXPECT_EQ(shown.wYear, 1752) << created;
    EXPECT_EQ(shown.wMonth, 9) << created;
    EXPECT_EQ(shown.wDay, 14) << created;
    EXPECT_EQ(shown.wHour, 0) << created;
  }
}

TEST_F(PaneDisplay, LeavesEverythingAloneForAnEmptyOrUnreadablePath) {
  EnableWindow(GetDlgItem(window_, IDC_EXIF_TO_CREATED), TRUE);
  State()->exifDates.dateTime.wYear = 1999;
  EXPECT_EQ(ShowPaneTimes(Target(), &State()->exifDates), 0);
  EXPECT_TRUE(Enabled(IDC_EXIF_TO_CREATED));
  EXPECT_EQ(State()->exifDates.dateTime.wYear, 1999);

  // A missing path: the pickers keep what they showed, the Exif commands go off.
  std::wstring photo = folder_.MakeFile(L"photo.jpg");
  SetPanePath(Target(), photo.c_str());
  ShowPaneTimes(Target(), &State()->exifDates);
  SYSTEMTIME before = Picker(Target(), IDC_PANE_MODIFIED_DATE);
  std::wstring missing = folder_.PathOf(L"gone.jpg");
  SetPanePath(Target(), missing.c_str());
  EnableWindow(GetDlgItem(window_, IDC_EXIF_TO_CREATED), TRUE);
  EXPECT_EQ(ShowPaneTimes(Target(), &State()->exifDates), 0);
  EXPECT_FALSE(Enabled(IDC_EXIF_TO_CREATED));
  SYSTEMTIME after = Picker(Target(), IDC_PANE_MODIFIED_DATE);
  EXPECT_EQ(after.wYear, before.wYear);
  EXPECT_EQ(after.wDay, before.wDay);
  EXPECT_EQ(State()->exifDates.dateTime.wYear, 0);
}

} // namespace
