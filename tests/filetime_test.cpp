#include <gtest/gtest.h>

#include <tuple>

#include "filetime/cleanup_folder.h"
#include "filetime/enumerate_folder.h"
#include "filetime/match_folders.h"
#include "filetime/path_times.h"
#include "filetime/rename_follower.h"
#include "tests/support/file_times.h"
#include "tests/support/temp_folder.h"

namespace {

// The hours the clocks skip or repeat take the offset before the change, as Windows converts them.
TEST(PathTimes, EachDatesRuleTakesTheOffsetBeforeAChangeOfClocks) {
  CentralEuropeRule rule;
  UseEachDatesDaylightSaving(true);
  const std::pair<SYSTEMTIME, std::wstring> rows[] = {
      {Local(2023, 3, 26, 2, 30, 0), L"2023-03-26 01:30:00.000"},
      {Local(2023, 10, 29, 2, 30, 0), L"2023-10-29 00:30:00.000"},
      {Local(2023, 7, 15, 14, 0, 0), L"2023-07-15 12:00:00.000"}};
  for (const auto& [local, expected] : rows) {
    FILETIME utc = {};
    SYSTEMTIME written = {};
    EXPECT_TRUE(LocalTimeToUtc(local, &utc) && FileTimeToSystemTime(&utc, &written));
    EXPECT_EQ(Shown(written), expected);
  }
  UseEachDatesDaylightSaving(false);
}

// An item whose path would pass 259 characters is left out: cut, "Thumbs.db" would name "Thumbs.d".
TEST(FolderWalks, CountFillWithinCapacityAndNeverFollowACutPath) {
  TempFolder folder;
  for (const wchar_t* name : {L"f1", L"f2", L"f3", L"sub\\", L"sub\\g"})
    folder.MakeFile(name);
  const wchar_t* path = folder.Path().c_str();
  EXPECT_EQ(EnumerateFolder(nullptr, path, 0, nullptr), 3u);
  FolderEntry entries[6] = {};
  EnumerateOptions options = {};
  options.maxEntries = 2;
  EXPECT_EQ(EnumerateFolder(entries, path, 0, &options), 3u);
  EXPECT_TRUE(entries[1].name[0] != L'\0' && entries[2].name[0] == L'\0');
  // A folder whose full path has 250 characters.
  std::wstring relative(250 - folder.Path().size() - 1, L'd'),
      parent = folder.MakeFile(relative + L"\\");
  for (const wchar_t* name : {L"\\123456789", L"\\Thumbs.d", L"\\Thumbs.db"})
    folder.MakeFile(relative + name);
  EXPECT_EQ(EnumerateFolder(nullptr, parent.c_str(), 0, nullptr), 1u);
  EXPECT_EQ(EnumerateFolder(nullptr, (parent + std::wstring(7, L'e')).c_str(), 0, nullptr), 0u);
  EXPECT_EQ(CleanupFolder(parent.c_str(), false), 0u);
  EXPECT_EQ(folder.Listed(relative), (Names{L"123456789", L"Thumbs.d", L"Thumbs.db"}));
}

// A time that is no time is not written; only the other time reaches the file.
TEST(PathTimes, TimesThatAreNoTimeAreNotWritten) {
  TempFolder folder;
  for (const wchar_t* name : {L"R\\", L"T\\", L"R\\f.txt", L"T\\f.txt"})
    folder.MakeFile(name);
  MatchContext context = {};
  lstrcpyW(context.referenceFolder, folder.PathOf(L"R\\").c_str());
  lstrcpyW(context.targetFolder, folder.PathOf(L"T\\").c_str());
  context.option = kMatchPlainItems | kMatchCopyCreated | kMatchCopyModified;
  std::wstring reference = folder.PathOf(L"R\\f.txt");
  SetModifiedTicks(reference, ExpectedUtcTicks(At(2003)) + 1234); // carried whole
  const SYSTEMTIME month13 = Local(2003, 13, 1, 1, 1, 1), july = Local(2002, 7, 8, 9, 10, 11, 12);
  GetFileTimeOverride stamp(reference, kUnconvertibleTicks);
  SetFileTimeRecorder recorder;
  EXPECT_EQ(MatchItem(reference.c_str(), nullptr, nullptr, &context), 1);
  EXPECT_EQ(SetPathTimes(reference.c_str(), &month13, &july, nullptr), 1);
  EXPECT_EQ(recorder.Under(folder.Path()),
            L"R\\f.txt C- M2002-07-08 09:10:11.012; T\\f.txt C- M2003+1234");
}

// A record follows its name, or one folding alike if it is the one such record whose file is gone.
TEST(RenameFollower, FollowsTheRecordOfTheFileRenamed) {
  TempFolder folder;
  folder.MakeFile(L"A.jpg");
  const Names names = {L"IMG.jpg", L"img.jpg", L"b.jpg", L"A.jpg"};
  const std::tuple<const wchar_t*, const wchar_t*, Names> rows[] = {
      {L"IMG.jpg", L"x.jpg", {L"x.jpg", L"img.jpg", L"b.jpg", L"A.jpg"}},
      {L"img.jpg", L"x.jpg", {L"IMG.jpg", L"x.jpg", L"b.jpg", L"A.jpg"}},
      {L"Img.jpg", L"x.jpg", names},
      {L"B.JPG", L"x.jpg", {L"IMG.jpg", L"img.jpg", L"x.jpg", L"A.jpg"}},
      {L"a.jpg", L"x.jpg", names},
      {L"b.jpg", L"a.jpg", {L"IMG.jpg", L"img.jpg", L"a.jpg", L"A.jpg"}}};
  for (const auto& [renamed, to, expected] : rows) {
    FolderEntry records[4] = {};
    for (size_t i = 0; i < 4; ++i) {
      lstrcpyW(records[i].name, names[i].c_str());
      lstrcpyW(records[i].fullPath, folder.PathOf(names[i]).c_str());
    }
    RenameFollower(records, 4).Renamed(renamed, to);
    for (size_t i = 0; i < 4; ++i)
      EXPECT_EQ(records[i].fullPath + (L"|" + std::wstring(records[i].name)),
                folder.PathOf(expected[i]) + L"|" + expected[i])
          << renamed << " " << i;
  }
}

} // namespace
