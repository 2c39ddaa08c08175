// File times, folder listing, cleanup and matched folders, on real files.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "base/handles.h"
#include "filetime/cleanup_folder.h"
#include "filetime/enumerate_folder.h"
#include "filetime/path_times.h"
#include "tests/support/file_times.h"
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

// "Thumbs.db" would not fit beside the long folder's path, cut it names the file beside it.
TEST(CleanupFolder, NeverActsOnACutPath) {
  TempFolder folder;
  std::wstring parent = FolderOfLength(folder, 250);
  std::wstring relative = parent.substr(folder.Path().size() + 1);
  folder.MakeFile(relative + L"\\Thumbs.d");
  folder.MakeFile(relative + L"\\Thumbs.db");
  EXPECT_EQ(CleanupFolder(parent.c_str(), false), 0u);
  EXPECT_EQ(folder.Listed(relative), (Names{L"Thumbs.d", L"Thumbs.db"}));
}

} // namespace
