#include "app/main_command.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/handles.h"
#include "filetime/path_times.h"
#include "panes/pane_display.h"
#include "panes/pane_time.h"
#include "resources/resource_ids.h"
#include "tests/support/file_times.h"
#include "tests/support/iat_patch.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_pump.h"

namespace {

bool SameTime(const SYSTEMTIME& a, const SYSTEMTIME& b) {
  return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay && a.wHour == b.wHour &&
         a.wMinute == b.wMinute && a.wSecond == b.wSecond;
}

std::string Show(const SYSTEMTIME& t) {
  char text[64];
  snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
           t.wMinute, t.wSecond);
  return text;
}

class MainCommands : public MainWindowTest {
protected:
  void Command(int id) { SendMessageW(window_, WM_COMMAND, id, 0); }
  void SetPicker(HWND pane, int id, const SYSTEMTIME& time) {
    SYSTEMTIME value = time;
    SendDlgItemMessageW(pane, id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&value));
  }
  void Target(const std::wstring& path) {
    ASSERT_EQ(SetPanePath(MainWindowTest::Target(), path.c_str()), 1);
  }

  TempFolder folder_;
};

TEST_F(MainCommands, ApplyCreatedJoinsTheTwoPickersAndWritesUtc) {
  std::wstring photo = folder_.MakeFile(L"photo.jpg");
  Target(photo);
  RawTimes before = ReadRaw(photo);
  // The date comes from the date picker, the time of day from the time picker.
  SetPicker(MainWindowTest::Target(), IDC_PANE_CREATED_DATE, Local(2001, 2, 3, 23, 59, 58));
  SetPicker(MainWindowTest::Target(), IDC_PANE_CREATED_TIME, Local(2010, 10, 10, 4, 5, 6));
  SetDlgItemTextW(window_, IDC_APPLY_RESULT, L"old");

  SetFileTimeRecorder recorder;
  ASSERT_TRUE(recorder.Applied());
  Command(IDC_APPLY_CREATED);
  EXPECT_EQ(ControlText(IDC_APPLY_RESULT), L"OK");
  ASSERT_EQ(recorder.Calls().size(), 1u);
  const SetFileTimeCall& call = recorder.Calls()[0];
  EXPECT_EQ(call.created, ExpectedUtcTicks(Local(2001, 2, 3, 4, 5, 6)));
  EXPECT_EQ(call.modified, std::nullopt);
  EXPECT_FALSE(call.lastAccessGiven);
  EXPECT_EQ(Ticks(ReadRaw(photo).modified), Ticks(before.modified));
  if (FileSystemKeepsCreatedTimes(folder_.Path())) {
    EXPECT_EQ(Ticks(ReadRaw(photo).created), ExpectedUtcTicks(Local(2001, 2, 3, 4, 5, 6)));
  }
}

TEST_F(MainCommands, ApplyModifiedAndBothWriteWhatTheyName) {
  std::wstring photo = folder_.MakeFile(L"photo.jpg");
  Target(photo);
  HWND pane = MainWindowTest::Target();
  WritePaneTime(pane, PaneTime::Created, Local(2002, 3, 4, 5, 6, 7));
  WritePaneTime(pane, PaneTime::Modified, Local(2003, 4, 5, 6, 7, 8));
  SetFileTimeRecorder recorder;
  Command(IDC_APPLY_MODIFIED);
  ASSERT_EQ(recorder.Calls().size(), 1u);
  EXPECT_EQ(recorder.Calls()[0].created, std::nullopt);
  EXPECT_EQ(recorder.Calls()[0].modified, ExpectedUtcTicks(Local(2003, 4, 5, 6, 7, 8)));
  EXPECT_EQ(Ticks(ReadRaw(photo).modified), ExpectedUtcTicks(Local(2003, 4, 5, 6, 7, 8)));
  Command(IDC_APPLY_BOTH);
  ASSERT_EQ(recorder.Calls().size(), 2u);
  EXPECT_EQ(recorder.Calls()[1].created, ExpectedUtcTicks(Local(2002, 3, 4, 5, 6, 7)));
  EXPECT_EQ(recorder.Calls()[1].modified, ExpectedUtcTicks(Local(2003, 4, 5, 6, 7, 8)));
  EXPECT_EQ(ControlText(IDC_APPLY_RESULT), L"OK");
}

TEST_F(MainCommands, ApplyShowsTheErrorCodeAndChangesNothing) {
  std::wstring photo = folder_.MakeFile(L"photo.jpg");
  Target(photo);
  RawTimes before = ReadRaw(photo);
  {
    UniqueFile holder(CreateFileW(photo.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    Command(IDC_APPLY_BOTH);
    EXPECT_EQ(ControlText(IDC_APPLY_RESULT), L"32");
  }
  EXPECT_EQ(Ticks(ReadRaw(photo).modified), Ticks(before.modified));

  // A path that is gone.
  std::wstring gone = folder_.PathOf(L"gone.jpg");
  Target(gone);
  Command(IDC_APPLY_CREATED);
  EXPECT_EQ(ControlText(IDC_APPLY_RESULT), L"2");
}

TEST_F(MainCommands, ApplyWithoutATargetLeavesTheResultAlone) {
  SetDlgItemTextW(window_, IDC_APPLY_RESULT, L"keep");
  SetFileTimeRecorder recorder;
  Command(IDC_APPLY_BOTH);
  EXPECT_EQ(ControlText(IDC_APPLY_RESULT), L"keep");
  EXPECT_TRUE(recorder.Calls().empty());
}

TEST_F(MainCommands, CopyCommandsMoveTimesIntoTheTargetPickersOnly) {
  std::wstring photo = folder_.MakeFile(L"photo.jpg");
  Target(photo);
  struct Case {
    int command;
    bool fromReference;
    PaneTime from;
    PaneTime to;
  };
  const Case cases[] = {
      {IDC_MODIFIED_TO_CREATED, false, PaneTime::Modified, PaneTime::Created},
      {IDC_CREATED_TO_MODIFIED, false, PaneTime::Created, PaneTime::Modified},
      {IDC_REFERENCE_TO_CREATED, true, PaneTime::Created, PaneTime::Created},
      {IDC_REFERENCE_TO_MODIFIED, true, PaneTime::Modified, PaneTime::Modified},
  };
  SetFileTimeRecorder recorder;
  WORD year = 1990;
  for (const Case& c : cases) {
    HWND target = MainWindowTest::Target();
    HWND source = c.fromReference ? Reference() : target;
    WritePaneTime(target, PaneTime::Created, Local(1980, 1, 1, 1, 1, 1));
    WritePaneTime(target, PaneTime::Modified, Local(1981, 1, 1, 1, 1, 1));
    SYSTEMTIME value = Local(++year, 6, 7, 8, 9, 10);
    WritePaneTime(source, c.from, value);
    Command(c.command);
    EXPECT_TRUE(SameTime(ReadPaneTime(target, c.to), value))
        << c.command << " gave " << Show(ReadPaneTime(target, c.to));
    if (c.fromReference) {
      // The other Target pair is untouched.
      PaneTime other = c.to == PaneTime::Created ? PaneTime::Modified : PaneTime::Created;
      EXPECT_EQ(ReadPaneTime(target, other).wYear, other == PaneTime::Created ? 1980 : 1981);
    }
  }
  EXPECT_TRUE(recorder.Calls().empty()) << "a copy command wrote to the file";
}

TEST_F(MainCommands, CurrentTimeGoesIntoThePickers) {
  SYSTEMTIME before;
  GetLocalTime(&before);
  Command(IDC_CURRENT_TO_MODIFIED);
  SYSTEMTIME after;
  GetLocalTime(&after);
  SYSTEMTIME shown = ReadPaneTime(MainWindowTest::Target(), PaneTime::Modified);
  FILETIME a, b, s;
  SystemTimeToFileTime(&before, &a);
  SystemTimeToFileTime(&after, &b);
  shown.wMilliseconds = 0;
  SystemTimeToFileTime(&shown, &s);
  EXPECT_GE(Ticks(s) + 10000000, Ticks(a)) << Show(shown);
  EXPECT_LE(Ticks(s), Ticks(b));
}

TEST_F(MainCommands, ExifCommandsPreferTheirOwnDateThenDateTime) {
  HWND target = MainWindowTest::Target();
  SYSTEMTIME dateTime = Local(2019, 7, 4, 18, 30, 5);
  SYSTEMTIME digitized = Local(2018, 1, 2, 3, 4, 5);
  SYSTEMTIME untouched = Local(1999, 9, 9, 9, 9, 9);
  struct Case {
    ExifDates dates;
    SYSTEMTIME toCreated;
    SYSTEMTIME toModified;
  };
  const Case cases[] = {
      {{dateTime, {}, {}}, dateTime, dateTime},
      {{{}, {}, digitized}, untouched, digitized},
      {{dateTime, {}, digitized}, dateTime, digitized},
      {{{}, {}, {}}, untouched, untouched},
  };
  for (const Case& c : cases) {
    State()->exifDates = c.dates;
    WritePaneTime(target, PaneTime::Created, untouched);
    WritePaneTime(target, PaneTime::Modified, untouched);
    Command(IDC_EXIF_TO_CREATED);
    Command(IDC_EXIF_TO_MODIFIED);
    EXPECT_TRUE(SameTime(ReadPaneTime(target, PaneTime::Created), c.toCreated))
        << Show(ReadPaneTime(target, PaneTime::Created));
    EXPECT_TRUE(SameTime(ReadPaneTime(target, PaneTime::Modified), c.toModified))
        << Show(ReadPaneTime(target, PaneTime::Modified));
  }
}

TEST_F(MainCommands, SnapshotAndRestorePutTheModifiedTimesBack) {
  std::wstring album = folder_.MakeFolder(L"Album");
  folder_.MakeFolder(L"Album\\sub");
  folder_.MakeFile(L"Album\\sub\\deep.jpg");
  std::vector<std::wstring> files;
  for (const wchar_t* name : {L"a.jpg", L"b.jpg", L"c.jpg"})
    files.push_back(folder_.MakeFile(std::wstring(L"Album\\") + name));
  for (size_t i = 0; i < files.size(); ++i) {
    SYSTEMTIME time = Local(2000 + static_cast<WORD>(i), 1, 2, 3, 4, 5, 678);
    ASSERT_EQ(SetPathTimes(files[i].c_str(), nullptr, &time, nullptr), 1);
  }
  Target(album);

  // Without a snapshot Restore does nothing at all.
  SetDlgItemTextW(window_, IDC_FOLDER_RESULT, L"7");
  Command(IDC_RESTORE);
  EXPECT_EQ(ControlText(IDC_FOLDER_RESULT), L"7");

  Command(IDC_GET_ALL_MODIFIED);
  EXPECT_EQ(ControlText(IDC_SNAPSHOT_COUNT), L"3");
  EXPECT_TRUE(Enabled(IDC_RESTORE));
  EXPECT_EQ(ControlText(IDC_FOLDER_RESULT), L"");
  EXPECT_EQ(State()->snapshotCount, 3u);

  std::vector<uint64_t> saved;
  for (const std::wstring& file : files) {
    saved.push_back(Ticks(ReadRaw(file).modified));
    SYSTEMTIME elsewhere = Local(2024, 5, 6, 7, 8, 9);
    ASSERT_EQ(SetPathTimes(file.c_str(), nullptr, &elsewhere, nullptr), 1);
  }
  Command(IDC_RESTORE);
  EXPECT_EQ(ControlText(IDC_FOLDER_RESULT), L"3");
  for (size_t i = 0; i < files.size(); ++i)
    EXPECT_EQ(Ticks(ReadRaw(files[i]).modified), saved[i]) << i;

  // A file that has gone since is left out of the count.
  DeleteFileW(files[1].c_str());
  Command(IDC_RESTORE);
  EXPECT_EQ(ControlText(IDC_FOLDER_RESULT), L"2");
}

TEST_F(MainCommands, SnapshotOfAnEmptyFolderKeepsRestoreOff) {
  std::wstring empty = folder_.MakeFolder(L"empty");
  Target(empty);
  SetDlgItemTextW(window_, IDC_SNAPSHOT_COUNT, L"9");
  EnableWindow(GetDlgItem(window_, IDC_RESTORE), TRUE);
  Command(IDC_GET_ALL_MODIFIED);
  EXPECT_EQ(State()->modifiedSnapshot, nullptr);
  EXPECT_FALSE(Enabled(IDC_RESTORE));
  EXPECT_EQ(ControlText(IDC_SNAPSHOT_COUNT), L"9"); // a count of 0 leaves 1017 alone
}

TEST_F(MainCommands, TheSettingTakesTheSnapshotWithoutAClick) {
  std::wstring album = folder_.MakeFolder(L"Album");
  folder_.MakeFile(L"Album\\a.jpg");
  folder_.MakeFile(L"Album\\b.jpg");
  std::wstring ini =
      folder_.MakeFile(L"Datewright.ini", "[General]\r\nGetAllModifiedDateTime=1\r\n");
  lstrcpyW(State()->iniPath, ini.c_str());
  Target(album);
  EXPECT_TRUE(PumpUntil([&] { return ControlText(IDC_SNAPSHOT_COUNT) == L"2"; }));
  EXPECT_TRUE(Enabled(IDC_RESTORE));
}

std::vector<std::pair<UINT, WPARAM>> g_defaultCalls;
void* g_realDefWindowProc;
LRESULT WINAPI RecordingDefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND)
    g_defaultCalls.emplace_back(message, wParam);
  return reinterpret_cast<WNDPROC>(g_realDefWindowProc)(window, message, wParam, lParam);
}

TEST_F(MainCommands, UnknownIdsGoToTheDefaultProcedure) {
  ImportPatch patch("user32.dll", "DefWindowProcW",
                    reinterpret_cast<void*>(RecordingDefWindowProc));
  ASSERT_TRUE(patch.Applied());
  g_realDefWindowProc = patch.Original();
  g_defaultCalls.clear();
  for (int id : {IDOK, IDCANCEL, IDC_APPLY_RESULT, IDC_SNAPSHOT_COUNT, IDC_APPLY_BOTH})
    Command(id);
  std::vector<std::pair<UINT, WPARAM>> expected = {{WM_COMMAND, IDOK},
                                                   {WM_COMMAND, IDCANCEL},
                                                   {WM_COMMAND, IDC_APPLY_RESULT},
                                                   {WM_COMMAND, IDC_SNAPSHOT_COUNT}};
  EXPECT_EQ(g_defaultCalls, expected);
}

TEST_F(MainCommands, SystemMenuFollowsTheKindsOfTheTwoPaths) {
  std::wstring album = folder_.MakeFolder(L"Album");
  std::wstring other = folder_.MakeFolder(L"Other");
  std::wstring photo = folder_.MakeFile(L"photo.jpg");
  HMENU menu = State()->systemMenu;
  auto enabled = [&](UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) == 0; };
  struct Case {
    std::wstring target, reference;
    bool rename, match;
  };
  const Case cases[] = {
      {album, photo, true, false},
      {album, other, true, true},
      {photo, other, false, false},
      {folder_.PathOf(L"gone"), other, false, false},
  };
  for (const Case& c : cases) {
    Target(c.target);
    ASSERT_EQ(SetPanePath(Reference(), c.reference.c_str()), 1);
    SendMessageW(window_, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    EXPECT_EQ(enabled(IDM_RENAME_FILES), c.rename) << c.target;
    EXPECT_EQ(enabled(IDM_MATCH_DATETIME), c.match) << c.target;
  }
}

} // namespace
