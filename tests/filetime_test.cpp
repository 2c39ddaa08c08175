// File times, folder listing, cleanup and matched folders, on real files.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "base/handles.h"
#include "filetime/cleanup_folder.h"
#include "filetime/enumerate_folder.h"
#include "filetime/match_folders.h"
#include "filetime/path_times.h"
#include "filetime/rename_follower.h"
#include "tests/support/file_times.h"
#include "tests/support/scripted_system.h"
#include "tests/support/temp_folder.h"

namespace {

// A folder in folder whose full path has exactly length characters.
std::wstring FolderOfLength(TempFolder& folder, size_t length) {
  return folder.MakeFolder(std::wstring(length - folder.Path().size() - 1, L'd'));
}

// Another program writing the file, sharing it for reading only: the times are read, not set.
TEST(PathTimes, WritesLocalTimesAsUtcIntoTheirOwnSlotsReadsThemBackAndSaysWhyAWriteFailed) {
  TempFolder folder;
  std::wstring file = folder.MakeFile(L"a.txt");
  const SYSTEMTIME created = Local(2001, 2, 3, 4, 5, 6, 7);
  const SYSTEMTIME modified = Local(2002, 7, 8, 9, 10, 11, 12); // summer, shown in any season
  const SYSTEMTIME month13 = Local(2003, 13, 1, 1, 1, 1);
  auto expected = [&](const SYSTEMTIME* time) {
    return time != nullptr && time != &month13 ? std::optional(ExpectedUtcTicks(*time))
                                               : std::nullopt;
  };
  const std::pair<const SYSTEMTIME*, const SYSTEMTIME*> rows[] = {
      {&created, &modified}, {&created, nullptr}, {nullptr, &modified},
      {&month13, &modified}, {nullptr, nullptr},
  };
  for (auto [createdIn, modifiedIn] : rows) {
    SetFileTimeRecorder recorder;
    EXPECT_EQ(SetPathTimes(file.c_str(), createdIn, modifiedIn, nullptr), 1);
    SetFileTimeCall call = recorder.LastFor(file);
    EXPECT_EQ(call.created, expected(createdIn));
    EXPECT_EQ(call.modified, expected(modifiedIn));
    EXPECT_FALSE(call.lastAccessGiven);
  }
  DWORD error = 0;
  EXPECT_EQ(SetPathTimes(folder.PathOf(L"gone.txt").c_str(), &created, &created, &error), 0);
  EXPECT_EQ(error, DWORD{ERROR_FILE_NOT_FOUND});
  UniqueFile writer(CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  EXPECT_EQ(SetPathTimes(file.c_str(), &created, &created, &error), 0);
  EXPECT_EQ(error, DWORD{ERROR_SHARING_VIOLATION});
  SYSTEMTIME back = {};
  EXPECT_EQ(GetPathTimes(file.c_str(), nullptr, &back), 1);
  EXPECT_EQ(ExpectedUtcTicks(back), ExpectedUtcTicks(modified));
}

TEST(EnumerateFolder, CountsFillsWithinCapacityAndReportsFoldersAfterTheirContents) {
  TempFolder folder;
  for (const wchar_t* name : {L"f1", L"f2", L"f3"})
    folder.MakeFile(name);
  folder.MakeFolder(L"sub");
  folder.MakeFile(L"sub\\g");
  const wchar_t* path = folder.Path().c_str();
  EXPECT_EQ(EnumerateFolder(nullptr, path, 0, nullptr), 3u);
  FolderEntry entries[6] = {};
  EnumerateOptions options = {};
  options.maxEntries = 2;
  EXPECT_EQ(EnumerateFolder(entries, path, 0, &options), 3u);
  EXPECT_NE(entries[1].name[0], L'\0');
  EXPECT_EQ(entries[2].name[0], L'\0');
  options = {};
  options.flags = EnumRecurse | EnumIncludeFolders;
  ASSERT_EQ(EnumerateFolder(entries, path, 0, &options), 5u);
  Names order;
  for (const FolderEntry& entry : entries)
    order.push_back(entry.name);
  auto at = [&](const wchar_t* name) { return std::find(order.begin(), order.end(), name); };
  EXPECT_LT(at(L"g"), at(L"sub"));
  EXPECT_EQ(std::wstring(entries[at(L"g") - order.begin()].fullPath), folder.PathOf(L"sub\\g"));
  // An item whose full path would pass 259 characters is left out, never reached by a cut path.
  std::wstring parent = FolderOfLength(folder, 250);
  folder.MakeFile(parent.substr(folder.Path().size() + 1) + L"\\123456789");
  folder.MakeFile(parent.substr(folder.Path().size() + 1) + L"\\12345678");
  EXPECT_EQ(EnumerateFolder(nullptr, parent.c_str(), 0, nullptr), 1u);
}

TEST(CleanupFolder, DeletesOnlyJunkFilesAndPutsEveryFolderTimeBack) {
  TempFolder folder;
  for (const wchar_t* name : {L".DS_Store", L"Thumbs.db", L"._a.jpg", L"keep.txt", L"sub\\",
                              L"sub\\Thumbs.db", L"._folder\\"})
    folder.MakeFile(name);
  const uint64_t old = ExpectedUtcTicks(Local(2011, 5, 6, 7, 8, 9, 250));
  for (const wchar_t* name : {L"sub", L"._folder", L""})
    SetModifiedTicks(folder.PathOf(name), old);
  EXPECT_EQ(CleanupFolder(folder.Path().c_str(), false), 3u);
  EXPECT_EQ(folder.Listed(), (Names{L"._folder\\", L"keep.txt", L"sub\\"}));
  EXPECT_EQ(folder.Listed(L"sub"), Names{L"Thumbs.db"});
  EXPECT_EQ(CleanupFolder(folder.Path().c_str(), true), 1u);
  EXPECT_EQ(folder.Listed(L"sub"), Names{});
  for (const wchar_t* name : {L"sub", L"._folder", L""})
    EXPECT_EQ(FileTicks(folder.PathOf(name)), old) << name;
  // "Thumbs.db" would not fit beside the long folder's path, cut it names the file beside it.
  std::wstring parent = FolderOfLength(folder, 250);
  std::wstring relative = parent.substr(folder.Path().size() + 1);
  folder.MakeFile(relative + L"\\Thumbs.d");
  folder.MakeFile(relative + L"\\Thumbs.db");
  EXPECT_EQ(CleanupFolder(parent.c_str(), false), 0u);
  EXPECT_EQ(folder.Listed(relative), (Names{L"Thumbs.d", L"Thumbs.db"}));
}

// A record follows the file of its own name, and one whose name folds alike only when it is the
// one such record: on a case-sensitive folder both "IMG.jpg" and "img.jpg" may exist.
TEST(RenameFollower, FollowsTheRecordOfTheFileRenamed) {
  const Names names = {L"IMG.jpg", L"img.jpg", L"b.jpg"};
  const std::pair<const wchar_t*, Names> rows[] = {{L"IMG.jpg", {L"a.jpg", L"img.jpg", L"b.jpg"}},
                                                   {L"img.jpg", {L"IMG.jpg", L"a.jpg", L"b.jpg"}},
                                                   {L"Img.jpg", names},
                                                   {L"B.JPG", {L"IMG.jpg", L"img.jpg", L"a.jpg"}}};
  for (const auto& [renamed, expected] : rows) {
    FolderEntry records[3] = {};
    for (size_t i = 0; i < 3; ++i) {
      lstrcpyW(records[i].name, names[i].c_str());
      lstrcpyW(records[i].fullPath, (L"C:\\f\\" + names[i]).c_str());
    }
    RenameFollower(records, 3).Renamed(renamed, L"a.jpg");
    for (size_t i = 0; i < 3; ++i)
      EXPECT_EQ(records[i].fullPath, L"C:\\f\\" + expected[i]) << renamed << " " << i;
  }
}

// Reference R and Target T of the same shape; each Reference item has its own time.
class MatchFoldersTest : public ::testing::Test {
protected:
  void SetUp() override {
    for (const wchar_t* root : {L"R", L"T"})
      for (const wchar_t* item : {L"\\", L"\\a\\", L"\\a\\b\\", L"\\a\\f.txt"})
        folder_.MakeFile(root + std::wstring(item));
    uint64_t day = 0;
    for (const wchar_t* item : kItems)
      SetModifiedTicks(folder_.PathOf(std::wstring(L"R\\") + item),
                       ExpectedUtcTicks(Local(2001, 1, 1, 0, 0, 0)) + (day += 864000000000));
  }
  uint32_t Match(uint32_t option) {
    return MatchFolders(nullptr, folder_.PathOf(L"R").c_str(), folder_.PathOf(L"T").c_str(),
                        option);
  }
  static constexpr const wchar_t* kItems[] = {L"a\\b", L"a\\f.txt", L"a"};
  TempFolder folder_;
  ScriptedSystem system_;
};

// The last two rows answer No, and 0 as a box that could not be shown: only a Yes goes on.
TEST_F(MatchFoldersTest, OptionBitsChooseWhatIsCopiedAndOnlyAYesGoesOn) {
  struct Row {
    uint32_t option;
    uint32_t count;
    bool written[3]; // a\b, a\f.txt, a
    int answer = IDYES;
  };
  const Row rows[] = {
      {0x21, 2, {true, false, true}},         {0x33, 3, {true, true, true}},
      {0x11, 3, {true, true, true}},          {0x22, 2, {true, false, true}},
      {0x20, 2, {false, false, false}},       {0x10, 3, {false, false, false}},
      {0x01, 0, {false, false, false}},       {0x1A1, 2, {true, false, true}},
      {0x33, 0, {false, false, false}, IDNO}, {0x33, 0, {false, false, false}, 0},
  };
  for (const Row& row : rows) {
    system_.boxAnswers = {row.answer};
    system_.boxes.clear();
    SetFileTimeRecorder recorder;
    EXPECT_EQ(Match(row.option), row.count) << std::hex << row.option << " answer " << row.answer;
    for (size_t i = 0; i < 3; ++i) {
      SetFileTimeCall call = recorder.LastFor(folder_.PathOf(std::wstring(L"T\\") + kItems[i]));
      std::wstring source = folder_.PathOf(std::wstring(L"R\\") + kItems[i]);
      bool modified = row.written[i] && (row.option & 1) != 0;
      bool created = row.written[i] && (row.option & 2) != 0;
      // The times as the item holds them, to the millisecond, files and folders alike.
      EXPECT_EQ(call.modified, modified ? std::optional(FileTicks(source)) : std::nullopt) << i;
      EXPECT_EQ(call.created,
                created ? std::optional(FileTicks(source, true) / 10000 * 10000) : std::nullopt)
          << std::hex << row.option << " item " << i;
    }
  }
}

// A time that could not be read must not be replaced by the one read for the item before.
TEST_F(MatchFoldersTest, ATimeThatCannotBeReadIsNotCopied) {
  folder_.MakeFile(L"R\\a\\g.txt");
  folder_.MakeFile(L"T\\a\\g.txt");
  Names files;
  for (const std::wstring& name : folder_.Listed(L"R\\a", false))
    if (name.back() != L'\\')
      files.push_back(name);
  ASSERT_EQ(files.size(), 2u);
  GetFileTimeOverride unconvertible(folder_.PathOf(L"R\\a\\" + files[1]), kUnconvertibleTicks);
  system_.boxAnswers = {IDYES};
  SetFileTimeRecorder recorder;
  EXPECT_EQ(Match(0x33), 4u);
  EXPECT_FALSE(recorder.LastFor(folder_.PathOf(L"T\\a\\" + files[1])).created);
  EXPECT_TRUE(recorder.LastFor(folder_.PathOf(L"T\\a\\" + files[1])).modified);
  EXPECT_TRUE(recorder.LastFor(folder_.PathOf(L"T\\a\\" + files[0])).created);
}

} // namespace
