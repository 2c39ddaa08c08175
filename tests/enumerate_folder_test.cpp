#include "filetime/enumerate_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/handles.h"
#include "filetime/path_times.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr uint32_t kBothFlags = EnumRecurse | EnumIncludeFolders;

// Placed after the array a call may fill; a write past the array changes it.
FolderEntry GuardRecord() {
  FolderEntry guard;
  memset(&guard, 0xA5, sizeof guard);
  return guard;
}

bool IsUntouchedGuard(const FolderEntry& entry) {
  FolderEntry guard = GuardRecord();
  return memcmp(&entry, &guard, sizeof entry) == 0;
}

bool IsZero(const SYSTEMTIME& time) {
  SYSTEMTIME zero = {};
  return memcmp(&time, &zero, sizeof time) == 0;
}

// Counts, then fills an array of exactly that size (with maxEntries set as callers do) and
// checks that nothing was written past it.
std::vector<FolderEntry> List(const std::wstring& path, EnumerateOptions* options) {
  uint32_t count = EnumerateFolder(nullptr, path.c_str(), 0, options);
  std::vector<FolderEntry> entries(count + 1);
  entries.back() = GuardRecord();
  if (options != nullptr)
    options->maxEntries = count;
  EXPECT_EQ(EnumerateFolder(entries.data(), path.c_str(), 0, options), count);
  EXPECT_TRUE(IsUntouchedGuard(entries.back()));
  entries.pop_back();
  return entries;
}

std::vector<std::wstring> SortedNames(const std::vector<FolderEntry>& entries) {
  std::vector<std::wstring> names;
  for (const FolderEntry& entry : entries)
    names.push_back(entry.name);
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::wstring> SortedFullPaths(const std::vector<FolderEntry>& entries) {
  std::vector<std::wstring> paths;
  for (const FolderEntry& entry : entries)
    paths.push_back(entry.fullPath);
  std::sort(paths.begin(), paths.end());
  return paths;
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> texts) {
  std::sort(texts.begin(), texts.end());
  return texts;
}

size_t IndexOf(const std::vector<FolderEntry>& entries, const std::wstring& name) {
  for (size_t i = 0; i < entries.size(); ++i)
    if (name == entries[i].name)
      return i;
  ADD_FAILURE() << "no entry named " << testing::PrintToString(name);
  return entries.size();
}

struct EntryCall {
  std::wstring path;
  bool handleGiven;
  DWORD handleAttributes; // as the open handle reports them
  DWORD handleSize;       // of a file's open handle
  SYSTEMTIME modified;
};

// Records both callbacks. The entry callback answers entryResult; the progress callback answers 1
// for stopAt (or for the first result with stopAtFirst), otherProgressResult for the rest.
struct Recorder {
  int entryResult = 1;
  std::wstring stopAt;
  bool stopAtFirst = false;
  int otherProgressResult = 0;
  std::vector<EntryCall> entryCalls;
  std::vector<std::wstring> progressNames;

  std::vector<std::wstring> EntryPaths() const {
    std::vector<std::wstring> paths;
    for (const EntryCall& call : entryCalls)
      paths.push_back(call.path);
    return paths;
  }
};

int RecordEntry(const wchar_t* fullPath, HANDLE item, const SYSTEMTIME* modified, void* context) {
  auto* recorder = static_cast<Recorder*>(context);
  EntryCall call = {fullPath, item != nullptr, INVALID_FILE_ATTRIBUTES, INVALID_FILE_SIZE,
                    *modified};
  BY_HANDLE_FILE_INFORMATION info;
  if (item != nullptr && GetFileInformationByHandle(item, &info))
    call.handleAttributes = info.dwFileAttributes;
  if (item != nullptr && (call.handleAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
    call.handleSize = GetFileSize(item, nullptr);
  recorder->entryCalls.push_back(call);
  return recorder->entryResult;
}

int RecordProgress(const wchar_t* name, void* context) {
  auto* recorder = static_cast<Recorder*>(context);
  recorder->progressNames.push_back(name);
  bool stop = (recorder->stopAtFirst && recorder->progressNames.size() == 1) ||
              (!recorder->stopAt.empty() && recorder->stopAt == name);
  return stop ? 1 : recorder->otherProgressResult;
}

EnumerateOptions RecordingOptions(Recorder* recorder, uint32_t flags,
                                  const wchar_t* pattern = nullptr) {
  EnumerateOptions options = {};
  options.flags = flags;
  options.pattern = pattern;
  options.entryCallback = RecordEntry;
  options.entryContext = recorder;
  options.progressCallback = RecordProgress;
  options.progressContext = recorder;
  return options;
}

class EnumerateFolderTest : public ::testing::Test {
protected:
  // a.txt, b.txt and sub\c.txt.
  void MakeSmallTree() {
    folder_.MakeFile(L"a.txt");
    folder_.MakeFile(L"b.txt");
    folder_.MakeFolder(L"sub");
    folder_.MakeFile(L"sub\\c.txt");
  }

  TempFolder folder_;
};

TEST_F(EnumerateFolderTest, ListsOnlyFilesWithoutOptions) {
  MakeSmallTree();
  EXPECT_EQ(EnumerateFolder(nullptr, folder_.Path().c_str(), 0, nullptr), 2u);

  std::vector<FolderEntry> entries = List(folder_.Path(), nullptr);
  ASSERT_EQ(SortedNames(entries), (std::vector<std::wstring>{L"a.txt", L"b.txt"}));
  for (const FolderEntry& entry : entries) {
    EXPECT_EQ(std::wstring(entry.fullPath), folder_.PathOf(entry.name));
    EXPECT_EQ(entry.attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(entry.attributes, GetFileAttributesW(entry.fullPath));
    EXPECT_NE(entry.modified.wYear, 0);
  }
}

TEST_F(EnumerateFolderTest, FlagsChooseWhatIsReported) {
  MakeSmallTree();
  const struct {
    uint32_t flags;
    std::vector<std::wstring> names;
  } cases[] = {
      {0, {L"a.txt", L"b.txt"}},
      {EnumRecurse, {L"a.txt", L"b.txt", L"c.txt"}},
      {EnumIncludeFolders, {L"a.txt", L"b.txt", L"sub"}},
      {kBothFlags, {L"a.txt", L"b.txt", L"c.txt", L"sub"}},
      {kBothFlags | 0xF0u, {L"a.txt", L"b.txt", L"c.txt", L"sub"}}, // other bits ignored
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.flags);
    EnumerateOptions options = {};
    options.flags = test.flags;
    EXPECT_EQ(SortedNames(List(folder_.Path(), &options)), test.names);
  }
}

TEST_F(EnumerateFolderTest, ReportsAFolderRightAfterItsContentsWithZeroModified) {
  MakeSmallTree();
  EnumerateOptions options = {};
  options.flags = kBothFlags;
  std::vector<FolderEntry> entries = List(folder_.Path(), &options);
  ASSERT_EQ(entries.size(), 4u);

  size_t sub = IndexOf(entries, L"sub");
  ASSERT_LT(sub, entries.size());
  ASSERT_GT(sub, 0u);
  EXPECT_STREQ(entries[sub - 1].name, L"c.txt");
  EXPECT_EQ(std::wstring(entries[sub - 1].fullPath), folder_.PathOf(L"sub\\c.txt"));
  EXPECT_EQ(std::wstring(entries[sub].fullPath), folder_.PathOf(L"sub"));
  EXPECT_NE(entries[sub].attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_TRUE(IsZero(entries[sub].modified));
}

TEST_F(EnumerateFolderTest, TrailingBackslashGivesTheSameFullPaths) {
  MakeSmallTree();
  const std::vector<std::wstring> expected =
      Sorted({folder_.PathOf(L"a.txt"), folder_.PathOf(L"b.txt"), folder_.PathOf(L"sub"),
              folder_.PathOf(L"sub\\c.txt")});
  for (const std::wstring& path : {folder_.Path(), folder_.Path() + L"\\"}) {
    SCOPED_TRACE(testing::PrintToString(path));
    EnumerateOptions options = {};
    options.flags = kBothFlags;
    std::vector<FolderEntry> entries = List(path, &options);
    EXPECT_EQ(SortedFullPaths(entries), expected);
    for (const FolderEntry& entry : entries)
      EXPECT_EQ(std::wstring(entry.fullPath).find(L"\\\\"), std::wstring::npos) << entry.fullPath;
  }
}

TEST_F(EnumerateFolderTest, EmptyFolderYieldsNothingButDotsReachProgress) {
  std::wstring empty = folder_.MakeFolder(L"empty");
  EXPECT_EQ(EnumerateFolder(nullptr, empty.c_str(), 0, nullptr), 0u);

  Recorder recorder;
  EnumerateOptions options = RecordingOptions(&recorder, kBothFlags);
  FolderEntry guard = GuardRecord();
  EXPECT_EQ(EnumerateFolder(&guard, empty.c_str(), 0, &options), 0u);
  EXPECT_TRUE(IsUntouchedGuard(guard));
  EXPECT_TRUE(recorder.entryCalls.empty());
  EXPECT_EQ(Sorted(recorder.progressNames), (std::vector<std::wstring>{L".", L".."}));
}

TEST_F(EnumerateFolderTest, FolderThatCannotBeSearchedYieldsNothing) {
  std::wstring file = folder_.MakeFile(L"plain.txt");
  for (const std::wstring& path : {folder_.PathOf(L"missing"), file}) {
    SCOPED_TRACE(testing::PrintToString(path));
    Recorder recorder;
    EnumerateOptions options = RecordingOptions(&recorder, kBothFlags);
    options.aborted = 1;
    EXPECT_EQ(EnumerateFolder(nullptr, path.c_str(), 0, &options), 0u);
    EXPECT_EQ(options.aborted, 0) << "cleared whether or not the search started";
    EXPECT_TRUE(recorder.entryCalls.empty());
    EXPECT_TRUE(recorder.progressNames.empty());
  }
}

TEST_F(EnumerateFolderTest, CapacityBelowTheCountStoresOnlyThatManyAndCountsAll) {
  MakeSmallTree();
  const struct {
    uint32_t flags;
    uint32_t total;
  } cases[] = {{0, 2}, {kBothFlags, 4}};
  for (const auto& test : cases) {
    SCOPED_TRACE(test.flags);
    for (uint32_t capacity = 1; capacity < test.total; ++capacity) {
      std::vector<FolderEntry> entries(capacity + 1);
      entries.back() = GuardRecord();
      EnumerateOptions options = {};
      options.flags = test.flags;
      options.maxEntries = capacity;
      EXPECT_EQ(EnumerateFolder(entries.data(), folder_.Path().c_str(), 0, &options), test.total);
      EXPECT_TRUE(IsUntouchedGuard(entries.back())) << "capacity " << capacity;
      for (uint32_t i = 0; i < capacity; ++i)
        EXPECT_NE(entries[i].name[0], L'\0') << "entry " << i << " of " << capacity;
    }
  }
}

TEST_F(EnumerateFolderTest, FillAfterAFileWasAddedStaysWithinTheCountedArray) {
  MakeSmallTree();
  EnumerateOptions options = {};
  options.flags = kBothFlags;
  uint32_t counted = EnumerateFolder(nullptr, folder_.Path().c_str(), 0, &options);
  ASSERT_EQ(counted, 4u);
  folder_.MakeFile(L"sub\\added.txt");

  std::vector<FolderEntry> entries(counted + 1);
  entries.back() = GuardRecord();
  options.maxEntries = counted;
  EXPECT_EQ(EnumerateFolder(entries.data(), folder_.Path().c_str(), 0, &options), counted + 1);
  EXPECT_TRUE(IsUntouchedGuard(entries.back()));
  entries.pop_back();
  std::vector<std::wstring> names = SortedNames(entries);
  EXPECT_EQ(std::unique(names.begin(), names.end()), names.end());
  for (const std::wstring& name : names)
    EXPECT_FALSE(name.empty());
}

TEST_F(EnumerateFolderTest, EntryCallbackDropsFilesButNotFolders) {
  MakeSmallTree();
  const std::wstring a = folder_.PathOf(L"a.txt");
  const std::wstring b = folder_.PathOf(L"b.txt");
  const std::wstring c = folder_.PathOf(L"sub\\c.txt");
  const std::wstring sub = folder_.PathOf(L"sub");
  const struct {
    uint32_t flags;
    std::vector<std::wstring> kept;
    std::vector<std::wstring> offered;
  } cases[] = {
      {EnumRecurse, {}, {a, b, c}},
      {kBothFlags, {sub}, {a, b, c, sub}},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.flags);
    Recorder recorder;
    recorder.entryResult = 0;
    EnumerateOptions options = RecordingOptions(&recorder, test.flags);
    // No limit, and room to spare: a dropped file must not be written anywhere.
    std::vector<FolderEntry> entries(5, GuardRecord());
    uint32_t count = EnumerateFolder(entries.data(), folder_.Path().c_str(), 0, &options);
    ASSERT_EQ(count, test.kept.size());
    for (size_t i = 0; i < count; ++i)
      EXPECT_EQ(std::wstring(entries[i].fullPath), test.kept[i]);
    for (size_t i = count; i < entries.size(); ++i)
      EXPECT_TRUE(IsUntouchedGuard(entries[i])) << "entry " << i;
    EXPECT_EQ(Sorted(recorder.EntryPaths()), Sorted(test.offered));
    for (const EntryCall& call : recorder.entryCalls)
      EXPECT_FALSE(call.handleGiven) << call.path;
  }
}

TEST_F(EnumerateFolderTest, OtherCallbackResultsNeitherDropNorStop) {
  MakeSmallTree();
  for (int result : {2, -1}) {
    SCOPED_TRACE(result);
    Recorder recorder;
    recorder.entryResult = result;
    recorder.otherProgressResult = result;
    EnumerateOptions options = RecordingOptions(&recorder, kBothFlags);
    std::vector<FolderEntry> entries = List(folder_.Path(), &options);
    EXPECT_EQ(SortedNames(entries),
              (std::vector<std::wstring>{L"a.txt", L"b.txt", L"c.txt", L"sub"}));
    EXPECT_EQ(options.aborted, 0);
  }
}

TEST_F(EnumerateFolderTest, ProgressStopAtTheFirstResultEndsTheWalk) {
  MakeSmallTree();
  for (uint32_t flags : {0u, EnumIncludeFolders}) {
    SCOPED_TRACE(flags);
    Recorder recorder;
    recorder.stopAtFirst = true;
    EnumerateOptions options = RecordingOptions(&recorder, flags);
    std::vector<FolderEntry> entries(4);

    uint32_t count = EnumerateFolder(entries.data(), folder_.Path().c_str(), 0, &options);
    ASSERT_EQ(recorder.progressNames.size(), 1u);
    EXPECT_EQ(options.aborted, 1);
    const std::wstring& first = recorder.progressNames[0];
    bool firstReported = first != L"." && first != L".." && (flags != 0 || first != L"sub");
    EXPECT_EQ(count, firstReported ? 1u : 0u) << first;
    EXPECT_EQ(recorder.entryCalls.size(), count);
    EXPECT_EQ(std::wstring(entries[0].name), firstReported ? first : L"");
    EXPECT_EQ(entries[1].name[0], L'\0');
  }
}

TEST_F(EnumerateFolderTest, StopInsideASubfolderFinishesEachParentsEntryThenStops) {
  folder_.MakeFile(L"a.txt");
  folder_.MakeFolder(L"outer");
  folder_.MakeFile(L"outer\\b.txt");
  folder_.MakeFolder(L"outer\\inner");
  folder_.MakeFile(L"outer\\inner\\c.txt");
  folder_.MakeFile(L"outer\\inner\\d.txt");

  Recorder recorder;
  recorder.stopAt = L"c.txt";
  EnumerateOptions options = RecordingOptions(&recorder, kBothFlags);
  std::vector<FolderEntry> entries(7);
  entries.back() = GuardRecord();
  uint32_t count = EnumerateFolder(entries.data(), folder_.Path().c_str(), 0, &options);

  EXPECT_EQ(options.aborted, 1);
  ASSERT_GE(count, 3u);
  ASSERT_LE(count, 6u);
  EXPECT_STREQ(entries[count - 3].name, L"c.txt");
  EXPECT_STREQ(entries[count - 2].name, L"inner");
  EXPECT_STREQ(entries[count - 1].name, L"outer");
  EXPECT_EQ(entries[count].name[0], L'\0');
  EXPECT_TRUE(IsUntouchedGuard(entries.back()));
  // Nothing is looked at after the stop, at any level.
  EXPECT_EQ(recorder.progressNames.back(), L"c.txt");
  ASSERT_EQ(recorder.entryCalls.size(), count);
  EXPECT_EQ(recorder.entryCalls.back().path, folder_.PathOf(L"outer"));

  Recorder countingRecorder;
  countingRecorder.stopAt = L"c.txt";
  EnumerateOptions counting = RecordingOptions(&countingRecorder, kBothFlags);
  EXPECT_EQ(EnumerateFolder(nullptr, folder_.Path().c_str(), 0, &counting), count);
  EXPECT_EQ(counting.aborted, 1);
  EXPECT_EQ(countingRecorder.progressNames, recorder.progressNames);
}

TEST_F(EnumerateFolderTest, OpenHandleSkipsTheCallbackForAFileThatCannotBeOpened) {
  std::wstring free = folder_.MakeFile(L"free.txt", "12345");
  std::wstring locked = folder_.MakeFile(L"locked.txt", "x");
  std::wstring sub = folder_.MakeFolder(L"sub");
  UniqueFile holder(CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(holder);

  const struct {
    int entryResult;
    std::vector<std::wstring> names;
  } cases[] = {
      {1, {L"free.txt", L"locked.txt", L"sub"}},
      {0, {L"locked.txt", L"sub"}}, // a drop reaches only the file that could be opened
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.entryResult);
    Recorder recorder;
    recorder.entryResult = test.entryResult;
    EnumerateOptions options = RecordingOptions(&recorder, EnumOpenHandle | EnumIncludeFolders);
    std::vector<FolderEntry> entries(4);
    entries.back() = GuardRecord();
    ASSERT_EQ(EnumerateFolder(entries.data(), folder_.Path().c_str(), 0, &options),
              test.names.size());
    entries.resize(test.names.size());
    EXPECT_EQ(SortedNames(entries), test.names);

    ASSERT_EQ(recorder.entryCalls.size(), 2u);
    for (const EntryCall& call : recorder.entryCalls) {
      EXPECT_TRUE(call.handleGiven) << call.path;
      if (call.path == free)
        EXPECT_EQ(call.handleSize, 5u);
      else if (call.path == sub)
        EXPECT_NE(call.handleAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
      else
        ADD_FAILURE() << "unexpected callback for " << testing::PrintToString(call.path);
    }
    // The handles were closed: nobody else holds the items now.
    UniqueFile reopenedFile(CreateFileW(free.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_TRUE(reopenedFile) << GetLastError();
    UniqueFile reopenedFolder(CreateFileW(sub.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    EXPECT_TRUE(reopenedFolder) << GetLastError();
  }
}

TEST_F(EnumerateFolderTest, PatternSelectsTheFoldersThatAreEntered) {
  folder_.MakeFile(L"a.jpg");
  folder_.MakeFile(L"b.txt");
  folder_.MakeFolder(L"album.jpg");
  folder_.MakeFile(L"album.jpg\\c.jpg");
  folder_.MakeFile(L"album.jpg\\d.txt");
  folder_.MakeFolder(L"other");
  folder_.MakeFile(L"other\\e.jpg");

  const struct {
    uint32_t flags;
    std::vector<std::wstring> relative;
  } cases[] = {
      {0, {L"a.jpg"}},
      {EnumRecurse, {L"a.jpg", L"album.jpg\\c.jpg"}},
      {kBothFlags, {L"a.jpg", L"album.jpg", L"album.jpg\\c.jpg"}},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.flags);
    EnumerateOptions options = {};
    options.flags = test.flags;
    options.pattern = L"*.jpg";
    std::vector<std::wstring> expected;
    for (const std::wstring& relative : test.relative)
      expected.push_back(folder_.PathOf(relative));
    EXPECT_EQ(SortedFullPaths(List(folder_.Path(), &options)), Sorted(expected));
  }
}

TEST_F(EnumerateFolderTest, ModifiedIsTheLocalLastWriteTime) {
  const SYSTEMTIME winter = {2003, 1, 0, 5, 6, 7, 8, 9};
  const SYSTEMTIME summer = {2019, 7, 0, 14, 23, 59, 58, 500};
  const struct {
    const wchar_t* name;
    SYSTEMTIME time;
  } files[] = {{L"winter.txt", winter}, {L"summer.txt", summer}};
  for (const auto& file : files)
    ASSERT_EQ(SetPathTimes(folder_.MakeFile(file.name).c_str(), nullptr, &file.time, nullptr), 1);
  folder_.MakeFolder(L"sub");
  ASSERT_EQ(SetPathTimes(folder_.PathOf(L"sub").c_str(), nullptr, &summer, nullptr), 1);

  Recorder recorder;
  EnumerateOptions options = RecordingOptions(&recorder, EnumIncludeFolders);
  options.progressCallback = nullptr;
  std::vector<FolderEntry> entries = List(folder_.Path(), &options);
  ASSERT_EQ(entries.size(), 3u);

  auto expectSameTime = [](const SYSTEMTIME& actual, const SYSTEMTIME& expected) {
    EXPECT_EQ(actual.wYear, expected.wYear);
    EXPECT_EQ(actual.wMonth, expected.wMonth);
    EXPECT_EQ(actual.wDay, expected.wDay);
    EXPECT_EQ(actual.wHour, expected.wHour);
    EXPECT_EQ(actual.wMinute, expected.wMinute);
    EXPECT_EQ(actual.wSecond, expected.wSecond);
    EXPECT_EQ(actual.wMilliseconds, expected.wMilliseconds);
  };
  for (const auto& file : files) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(file.name)));
    size_t index = IndexOf(entries, file.name);
    ASSERT_LT(index, entries.size());
    expectSameTime(entries[index].modified, file.time);
  }
  EXPECT_EQ(entries[IndexOf(entries, L"winter.txt")].modified.wDayOfWeek, 0); // a Sunday
  EXPECT_EQ(entries[IndexOf(entries, L"summer.txt")].modified.wDayOfWeek, 0);
  EXPECT_TRUE(IsZero(entries[IndexOf(entries, L"sub")].modified));

  // The callback sees the folder's own time, though its stored entry has none.
  bool sawFolder = false;
  for (const EntryCall& call : recorder.entryCalls) {
    if (call.path == folder_.PathOf(L"sub")) {
      sawFolder = true;
      expectSameTime(call.modified, summer);
    }
  }
  EXPECT_TRUE(sawFolder);
}

// Items near the path limit, made through the "\\?\" form so that they can exist at all.
class EnumerateLongPathTest : public ::testing::Test {
protected:
  // A folder whose own path has exactly kDeepLength characters.
  static constexpr size_t kDeepLength = 240;

  void SetUp() override {
    ASSERT_LT(folder_.Path().size() + 2, kDeepLength);
    deep_ = folder_.PathOf(std::wstring(kDeepLength - folder_.Path().size() - 1, L'd'));
    ASSERT_EQ(deep_.size(), kDeepLength);
    Make(deep_, true);
  }

  void TearDown() override { RemoveTree(L"\\\\?\\" + deep_); }

  static void Make(const std::wstring& path, bool isFolder) {
    std::wstring longForm = L"\\\\?\\" + path;
    if (isFolder) {
      ASSERT_TRUE(CreateDirectoryW(longForm.c_str(), nullptr)) << GetLastError();
      return;
    }
    UniqueFile file(CreateFileW(longForm.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file) << GetLastError();
  }

  std::wstring InDeep(const std::wstring& relative) const { return deep_ + L"\\" + relative; }

  TempFolder folder_;
  std::wstring deep_;
};

// Name lengths are chosen against the 259 characters a path may have: the comment gives the
// length of the item's full path.
std::wstring Repeat(wchar_t letter, size_t count) {
  return std::wstring(count, letter);
}

TEST_F(EnumerateLongPathTest, LeavesOutItemsWhosePathsWouldNotFit) {
  const std::wstring fitsExactly = Repeat(L'f', 18);
  const std::wstring notEntered = Repeat(L'g', 18);
  const std::wstring entered = Repeat(L'k', 13);
  const std::wstring notSearchable = Repeat(L's', 16);
  const struct {
    std::wstring relative;
    bool isFolder;
    bool reported;
  } items[] = {
      {L"fit.txt", false, true},                 // 248
      {fitsExactly, false, true},                // 259
      {Repeat(L'n', 19), false, false},          // 260
      {Repeat(L'm', 40), false, false},          // 281
      {notEntered, true, true},                  // 259, but its child path would have 260
      {notEntered + L"\\in.txt", false, false},  // 266
      {Repeat(L'h', 19), true, false},           // 260
      {Repeat(L'h', 19) + L"\\x", false, false}, // 262
      {entered, true, true},                     // 254, searched as 258 characters
      {entered + L"\\k", false, true},           // 256
      {entered + L"\\kkkk", false, true},        // 259
      {entered + L"\\kkkkk", false, false},      // 260
      {notSearchable, true, true},               // 257, but its search string would have 261
      {notSearchable + L"\\z", false, false},    // 259, in a folder that cannot be searched
  };
  std::vector<std::wstring> expected = {deep_};
  std::vector<std::wstring> leftOutNames;
  for (const auto& item : items) {
    Make(InDeep(item.relative), item.isFolder);
    if (item.reported)
      expected.push_back(InDeep(item.relative));
    else
      leftOutNames.push_back(item.relative.substr(item.relative.find_last_of(L'\\') + 1));
  }
  expected = Sorted(expected);

  Recorder recorder;
  EnumerateOptions options = RecordingOptions(&recorder, kBothFlags);
  std::vector<FolderEntry> entries = List(folder_.Path(), &options);
  EXPECT_EQ(SortedFullPaths(entries), expected);
  for (const FolderEntry& entry : entries)
    EXPECT_LT(wcsnlen(entry.fullPath, MAX_PATH), size_t{MAX_PATH});

  // Counting call and filling call each offer exactly the reported items.
  std::vector<std::wstring> offered = recorder.EntryPaths();
  ASSERT_EQ(offered.size(), 2 * expected.size());
  EXPECT_EQ(Sorted({offered.begin(), offered.begin() + expected.size()}), expected);
  EXPECT_EQ(Sorted({offered.begin() + expected.size(), offered.end()}), expected);
  for (const std::wstring& name : leftOutNames)
    EXPECT_EQ(std::count(recorder.progressNames.begin(), recorder.progressNames.end(), name), 0)
        << testing::PrintToString(name);
}

TEST_F(EnumerateLongPathTest, PathTooLongForTheSearchStringYieldsNothing) {
  const std::wstring entered = InDeep(Repeat(L'k', 13));       // 254
  const std::wstring notSearchable = InDeep(Repeat(L's', 16)); // 257
  for (const std::wstring& folder : {entered, notSearchable})
    Make(folder, true);
  for (const wchar_t* name : {L"a", L"bbbb"}) {
    Make(entered + L"\\" + name, false);
    Make(notSearchable + L"\\" + name, false); // 259 and 262
  }
  Make(InDeep(L"fit.txt"), false);

  const std::wstring stars18 = Repeat(L'*', 18);
  const std::wstring stars19 = Repeat(L'*', 19);
  const struct {
    std::wstring path;
    const wchar_t* pattern; // null: no options at all
    uint32_t expected;
  } cases[] = {
      {entered, nullptr, 2}, // "...\*.*" has 258 characters
      {entered + L"\\", nullptr, 2},
      {notSearchable, nullptr, 0}, // 261, though "...\a" would fit
      {notSearchable + L"\\", nullptr, 0},
      {deep_, stars18.c_str(), 1}, // 259
      {deep_, stars19.c_str(), 0}, // 260
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(testing::PrintToString(test.path.size()));
    if (test.pattern == nullptr) {
      EXPECT_EQ(EnumerateFolder(nullptr, test.path.c_str(), 0, nullptr), test.expected);
      continue;
    }
    Recorder recorder;
    EnumerateOptions options = RecordingOptions(&recorder, 0, test.pattern);
    options.aborted = 1;
    EXPECT_EQ(EnumerateFolder(nullptr, test.path.c_str(), 0, &options), test.expected);
    EXPECT_EQ(options.aborted, 0);
    EXPECT_EQ(recorder.entryCalls.size(), test.expected);
  }
}

} // namespace
