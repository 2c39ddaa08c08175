// File times, folder listing, cleanup and matched folders, on real files.
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

TEST(PathTimes, WritesLocalTimesAsUtcIntoTheirOwnSlots) {
  TempFolder folder;
  std::wstring file = folder.MakeFile(L"a.txt");
  const SYSTEMTIME created = Local(2001, 2, 3, 4, 5, 6, 7);
  const SYSTEMTIME modified = Local(2002, 7, 8, 9, 10, 11, 12); // summer, shown in any season
  const SYSTEMTIME month13 = Local(2003, 13, 1, 1, 1, 1);
  const std::wstring c = L"2001-02-03 04:05:06.007", m = L"2002-07-08 09:10:11.012";
  const std::tuple<const SYSTEMTIME*, const SYSTEMTIME*, std::wstring> rows[] = {
      {&created, &modified, L"C" + c + L" M" + m}, {&month13, &modified, L"C- M" + m}};
  for (auto [createdIn, modifiedIn, writes] : rows) {
    SetFileTimeRecorder recorder;
    EXPECT_EQ(SetPathTimes(file.c_str(), createdIn, modifiedIn, nullptr), 1);
    EXPECT_EQ(recorder.Under(folder.Path()), L"a.txt " + writes);
  }
}

// An item whose full path would pass 259 characters is left out of a listing and of Cleanup,
// never reached by a cut path: cut, "Thumbs.db" would name the "Thumbs.d" beside it.
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
  EXPECT_NE(entries[1].name[0], L'\0');
  EXPECT_EQ(entries[2].name[0], L'\0');
  // A folder whose full path has 250 characters.
  std::wstring relative(250 - folder.Path().size() - 1, L'd'),
      parent = folder.MakeFile(relative + L"\\");
  for (const wchar_t* name : {L"\\123456789", L"\\Thumbs.d", L"\\Thumbs.db"})
    folder.MakeFile(relative + name);
  EXPECT_EQ(EnumerateFolder(nullptr, parent.c_str(), 0, nullptr), 1u);
  EXPECT_EQ(CleanupFolder(parent.c_str(), false), 0u);
  EXPECT_EQ(folder.Listed(relative), (Names{L"123456789", L"Thumbs.d", L"Thumbs.db"}));
}

// A time no conversion takes is not copied: only the one read reaches the counterpart.
TEST(MatchItem, CopiesOnlyTheTimesItRead) {
  TempFolder folder;
  for (const wchar_t* name : {L"R\\", L"T\\", L"R\\f.txt", L"T\\f.txt"})
    folder.MakeFile(name);
  MatchContext context = {};
  lstrcpyW(context.referenceFolder, folder.PathOf(L"R\\").c_str());
  lstrcpyW(context.targetFolder, folder.PathOf(L"T\\").c_str());
  context.option = kMatchPlainItems | kMatchCopyCreated | kMatchCopyModified;
  std::wstring reference = folder.PathOf(L"R\\f.txt");
  GetFileTimeOverride stamp(reference, kUnconvertibleTicks);
  SetFileTimeRecorder recorder;
  EXPECT_EQ(MatchItem(reference.c_str(), nullptr, nullptr, &context), 1);
  EXPECT_EQ(recorder.Under(folder.Path()), L"T\\f.txt C- M" + ShownTicks(FileTicks(reference)));
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

} // namespace
