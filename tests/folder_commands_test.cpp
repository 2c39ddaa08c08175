#include "app/folder_commands.h"

#include <gtest/gtest.h>

#include <string>

#include "panes/pane_display.h"
#include "resources/resource_ids.h"
#include "tests/support/dialog_answerer.h"
#include "tests/support/file_times.h"
#include "tests/support/held_key.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr uint64_t kOld = 127000000000004321ull;

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class FolderCommands : public MainWindowTest {
protected:
  void Command(int id) { SendMessageW(window_, WM_COMMAND, id, 0); }
  void SetTarget(const std::wstring& path) { ASSERT_EQ(SetPanePath(Target(), path.c_str()), 1); }
  // A snapshot, so that its end shows.
  void TakeSnapshot() {
    Command(IDC_GET_ALL_MODIFIED);
    ASSERT_TRUE(Enabled(IDC_RESTORE));
    ASSERT_NE(ControlText(IDC_SNAPSHOT_COUNT), L"");
  }

  TempFolder folder_;
};

struct CleanupCase {
  bool shift;
  const wchar_t* shown;
  bool subfolderJunkLeft;
};

TEST_F(FolderCommands, CleanupTakesSubfoldersWithShiftAndEndsTheSnapshot) {
  const CleanupCase cases[] = {{false, L"1", true}, {true, L"2", false}};
  for (const CleanupCase& c : cases) {
    SCOPED_TRACE(c.shift ? "with Shift" : "without Shift");
    std::wstring name = c.shift ? L"shift" : L"plain";
    std::wstring root = folder_.MakeFolder(name);
    std::wstring kept = folder_.MakeFile(name + L"\\keep.txt");
    std::wstring junk = folder_.MakeFile(name + L"\\Thumbs.db");
    folder_.MakeFolder(name + L"\\sub");
    std::wstring subJunk = folder_.MakeFile(name + L"\\sub\\.DS_Store");
    SetTarget(root);
    TakeSnapshot();
    if (c.shift) {
      HeldKey shift(VK_SHIFT);
      ASSERT_TRUE(shift.Down());
      Command(IDC_CLEANUP);
    } else {
      ASSERT_EQ(GetAsyncKeyState(VK_SHIFT) & 0x8000, 0);
      Command(IDC_CLEANUP);
    }
    EXPECT_EQ(ControlText(IDC_FOLDER_RESULT), c.shown);
    EXPECT_FALSE(Exists(junk));
    EXPECT_EQ(Exists(subJunk), c.subfolderJunkLeft);
    EXPECT_TRUE(Exists(kept));
    EXPECT_EQ(ControlText(IDC_SNAPSHOT_COUNT), L"");
    EXPECT_FALSE(Enabled(IDC_RESTORE));
    EXPECT_EQ(State()->modifiedSnapshot, nullptr);
  }
}

TEST_F(FolderCommands, CleanupWithoutShiftShowsZeroWhenOnlyASubfolderHasJunk) {
  std::wstring root = folder_.MakeFolder(L"root");
  folder_.MakeFolder(L"root\\sub");
  std::wstring junk = folder_.MakeFile(L"root\\sub\\Thumbs.db");
  SetTarget(root);
  SetDlgItemTextW(window_, IDC_FOLDER_RESULT, L"7");
  Command(IDC_CLEANUP);
  EXPECT_EQ(ControlText(IDC_FOLDER_RESULT), L"0");
  EXPECT_TRUE(Exists(junk));
}

TEST_F(FolderCommands, CleanupWithoutATargetShowsZero) {
  Command(IDC_CLEANUP);
  EXPECT_EQ(ControlText(IDC_FOLDER_RESULT), L"0");
}

class MatchCommandTest : public FolderCommands {
protected:
  void SetUp() override {
    FolderCommands::SetUp();
    std::wstring ini =
        folder_.MakeFile(L"Datewright.ini", "[General]\r\nMatchedFoldersOption=51\r\n");
    lstrcpyW(State()->iniPath, ini.c_str());
    reference_ = folder_.MakeFolder(L"R");
    target_ = folder_.MakeFolder(L"T");
    for (const wchar_t* folder : {L"R\\a", L"T\\a"})
      folder_.MakeFolder(folder);
    for (const wchar_t* file : {L"R\\a\\f.txt", L"T\\a\\f.txt", L"R\\g.txt", L"T\\h.txt"})
      folder_.MakeFile(file);
    FILETIME old = FromTicks(kOld);
    WriteRaw(folder_.PathOf(L"R\\a\\f.txt"), nullptr, &old);
    ASSERT_EQ(SetPanePath(Reference(), reference_.c_str()), 1);
    SetTarget(target_);
  }
  // From the system menu, as the user picks "Match DateTime..".
  void MatchFromSystemMenu(int answer) {
    DialogAnswerer answerer([&](HWND box) { EXPECT_TRUE(PressButton(box, answer)); });
    SendMessageW(window_, WM_SYSCOMMAND, IDM_MATCH_DATETIME, 0);
    ASSERT_EQ(answerer.Count(), 1u);
    EXPECT_EQ(answerer.Seen()[0].owner, window_);
    EXPECT_EQ(answerer.Seen()[0].caption, L"Matched Folders DateTime");
  }

  std::wstring reference_;
  std::wstring target_;
};

TEST_F(MatchCommandTest, ShowsTheCountAndLeavesTheSnapshot) {
  TakeSnapshot();
  std::wstring snapshotCount = ControlText(IDC_SNAPSHOT_COUNT);
  MatchFromSystemMenu(IDYES);
  EXPECT_EQ(ControlText(IDC_FOLDER_RESULT), L"2"); // a and a\f.txt; g.txt has no counterpart
  EXPECT_EQ(Ticks(ReadRaw(target_ + L"\\a\\f.txt").modified),
            kOld / kTicksPerMillisecond * kTicksPerMillisecond);
  EXPECT_TRUE(Enabled(IDC_RESTORE));
  EXPECT_EQ(ControlText(IDC_SNAPSHOT_COUNT), snapshotCount);
}

TEST_F(MatchCommandTest, AnsweredNoReplacesAnEarlierCountWithZero) {
  SetDlgItemTextW(window_, IDC_FOLDER_RESULT, L"7");
  MatchFromSystemMenu(IDNO);
  EXPECT_EQ(ControlText(IDC_FOLDER_RESULT), L"0");
}

} // namespace
