// The main window's commands, its command line, and the built program as a user starts it.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "base/handles.h"
#include "filetime/path_times.h"
#include "panes/pane_display.h"
#include "panes/pane_time.h"
#include "resources/resource_ids.h"
#include "tests/support/file_times.h"
#include "tests/support/main_window_fixture.h"

namespace {

void SetPicker(HWND pane, int id, const SYSTEMTIME& time) {
  SendDlgItemMessageW(pane, id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

WORD Year(HWND pane, PaneTime which) {
  return ReadPaneTime(pane, which).wYear;
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
  std::wstring file = folder_.MakeFile(L"a.jpg");
  ASSERT_EQ(SetPanePath(Target(), file.c_str()), 1);
  WritePaneTime(Reference(), PaneTime::Created, Local(2011, 1, 1, 1, 1, 1));
  WritePaneTime(Reference(), PaneTime::Modified, Local(2012, 1, 1, 1, 1, 1));
  ExifDates& exif = State()->exifDates;
  exif = {Local(2021, 1, 1, 1, 1, 1), Local(2022, 1, 1, 1, 1, 1), {}};
  SYSTEMTIME now;
  GetLocalTime(&now);
  struct Row {
    int command;
    WORD created;
    WORD modified;
  };
  const Row rows[] = {
      {IDC_REFERENCE_TO_CREATED, 2011, 2002},    {IDC_REFERENCE_TO_MODIFIED, 2001, 2012},
      {IDC_MODIFIED_TO_CREATED, 2002, 2002},     {IDC_CREATED_TO_MODIFIED, 2001, 2001},
      {IDC_EXIF_TO_CREATED, 2022, 2002},         {IDC_EXIF_TO_MODIFIED, 2001, 2021},
      {IDC_CURRENT_TO_CREATED, now.wYear, 2002}, {IDC_CURRENT_TO_MODIFIED, 2001, now.wYear},
  };
  const uint64_t before = ModifiedTicks(file);
  for (const Row& row : rows) {
    WritePaneTime(Target(), PaneTime::Created, Local(2001, 1, 1, 1, 1, 1));
    WritePaneTime(Target(), PaneTime::Modified, Local(2002, 1, 1, 1, 1, 1));
    Command(row.command);
    EXPECT_EQ(Year(Target(), PaneTime::Created), row.created) << row.command;
    EXPECT_EQ(Year(Target(), PaneTime::Modified), row.modified) << row.command;
    EXPECT_EQ(Year(Reference(), PaneTime::Created), 2011);
  }
  EXPECT_EQ(ModifiedTicks(file), before);
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
    EXPECT_EQ(folder_.Sorted(L"sub").size(), shift ? 0u : 1u);
    EXPECT_FALSE(Enabled(IDC_RESTORE));
    EXPECT_EQ(ControlText(IDC_SNAPSHOT_COUNT), L"");
  }
}

// Match copies from the Reference onto the Target, and only when answered Yes.
TEST_F(MainCommands, MatchCopiesOntoTheTargetWhenConfirmed) {
  for (const wchar_t* name : {L"R", L"T", L"R\\a", L"T\\a"})
    folder_.MakeFolder(name);
  ASSERT_EQ(SetPanePath(Target(), folder_.PathOf(L"T").c_str()), 1);
  ASSERT_EQ(SetPanePath(Reference(), folder_.PathOf(L"R").c_str()), 1);
  system_.boxAnswers = {IDNO, IDYES};
  SetFileTimeRecorder recorder;
  for (const wchar_t* count : {L"0", L"1"}) {
    SendMessageW(window_, WM_SYSCOMMAND, IDM_MATCH_DATETIME, 0);
    EXPECT_EQ(ControlText(IDC_FOLDER_RESULT), count);
  }
  ASSERT_EQ(recorder.Calls().size(), 1u);
  EXPECT_TRUE(recorder.LastFor(folder_.PathOf(L"T\\a")).modified);
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
  const uint64_t before = ModifiedTicks(other);
  WritePaneTime(Target(), PaneTime::Modified, Local(2004, 4, 4, 4, 4, 4));
  Command(IDC_APPLY_MODIFIED);
  SetCurrentDirectoryW(saved);
  EXPECT_EQ(PanePath(Target()), named);
  EXPECT_EQ(ModifiedTicks(named), ExpectedUtcTicks(Local(2004, 4, 4, 4, 4, 4)));
  EXPECT_EQ(ModifiedTicks(other), before);
  Open(L"Datewright.exe -v");
  EXPECT_EQ(PanePath(Target()), L"");
}

std::wstring BuiltProgram() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring exe = path;
  return exe.substr(0, exe.rfind(L'\\') + 1) + L"Datewright.exe";
}

// What a user sees: the window with its version, closed cleanly.
TEST(Program, StartsShowsItsWindowAndExitsCleanlyOnClose) {
  std::wstring exe = BuiltProgram();
  std::wstring commandLine = L"\"" + exe + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  ASSERT_TRUE(CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &process));
  UniqueFile processHandle(process.hProcess);
  UniqueFile threadHandle(process.hThread);
  WaitForInputIdle(process.hProcess, 30000);
  HWND window = nullptr;
  DWORD owner = 0;
  for (int tries = 0; tries < 300 && (owner != process.dwProcessId || !IsWindowVisible(window));
       ++tries, Sleep(100))
    GetWindowThreadProcessId(window = FindWindowW(kMainWindowClass, nullptr), &owner);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(TextOf(window), L"Datewright 2.10.1.32");
  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  EXPECT_EQ(exitCode, 0u);
}

} // namespace
