#include "filetime/path_times.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>

#include "app/handles.h"
#include "tests/support/iat_patch.h"
#include "tests/support/temp_folder.h"

namespace {

SYSTEMTIME Local(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second,
                 WORD milliseconds = 0) {
  SYSTEMTIME time = {};
  time.wYear = year;
  time.wMonth = month;
  time.wDay = day;
  time.wHour = hour;
  time.wMinute = minute;
  time.wSecond = second;
  time.wMilliseconds = milliseconds;
  return time;
}

uint64_t Ticks(const FILETIME& time) {
  return (uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

FILETIME FromTicks(uint64_t ticks) {
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

constexpr int64_t kTicksPerMinute = 600000000;
constexpr uint64_t kTicksPerMillisecond = 10000;

// Minutes to add to local time to get UTC, as in effect now; worked out without the
// conversion functions under test.
int64_t CurrentBiasMinutes() {
  TIME_ZONE_INFORMATION zone;
  DWORD which = GetTimeZoneInformation(&zone);
  if (which == TIME_ZONE_ID_DAYLIGHT)
    return zone.Bias + zone.DaylightBias;
  if (which == TIME_ZONE_ID_STANDARD)
    return zone.Bias + zone.StandardBias;
  return zone.Bias;
}

// The UTC stamp a local wall-clock value must become under the one-offset rule.
uint64_t ExpectedUtcTicks(const SYSTEMTIME& local) {
  FILETIME wall;
  EXPECT_TRUE(SystemTimeToFileTime(&local, &wall));
  return Ticks(wall) + CurrentBiasMinutes() * kTicksPerMinute;
}

struct RawTimes {
  FILETIME created;
  FILETIME modified;
};

RawTimes ReadRaw(const std::wstring& path) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  RawTimes times = {};
  EXPECT_TRUE(file);
  EXPECT_TRUE(GetFileTime(file.Get(), &times.created, nullptr, &times.modified));
  return times;
}

void WriteRaw(const std::wstring& path, const FILETIME* created, const FILETIME* modified) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  ASSERT_TRUE(file);
  ASSERT_TRUE(SetFileTime(file.Get(), created, nullptr, modified));
}

// What SetPathTimes handed to SetFileTime, recorded by a replacement in the import table.
struct SetFileTimeCall {
  std::optional<uint64_t> created;
  bool lastAccessGiven;
  std::optional<uint64_t> modified;
};

std::optional<SetFileTimeCall> g_lastCall;
void* g_realSetFileTime;

std::optional<uint64_t> Slot(const FILETIME* time) {
  return time != nullptr ? std::optional<uint64_t>(Ticks(*time)) : std::nullopt;
}

BOOL WINAPI RecordingSetFileTime(HANDLE file, const FILETIME* created, const FILETIME* accessed,
                                 const FILETIME* modified) {
  g_lastCall = SetFileTimeCall{Slot(created), accessed != nullptr, Slot(modified)};
  using Function = BOOL(WINAPI*)(HANDLE, const FILETIME*, const FILETIME*, const FILETIME*);
  return reinterpret_cast<Function>(g_realSetFileTime)(file, created, accessed, modified);
}

class PathTimes : public ::testing::Test {
protected:
  void SetUp() override {
    g_lastCall.reset();
    file_ = folder_.MakeFile(L"photo.jpg");
  }

  // Some file systems (and Wine on Linux) accept a Created time but do not keep it.
  bool FileSystemKeepsCreatedTimes() {
    std::wstring probe = folder_.MakeFile(L"probe.tmp");
    FILETIME created = FromTicks(Ticks(ReadRaw(probe).created) - 3600 * 10000000ull * 24 * 400);
    WriteRaw(probe, &created, nullptr);
    return Ticks(ReadRaw(probe).created) == Ticks(created);
  }

  TempFolder folder_;
  std::wstring file_;
};

TEST_F(PathTimes, ConvertsLocalTimeWithTheOffsetInEffectNow) {
  ASSERT_NE(CurrentBiasMinutes(), 0) << "run the tests in a local zone that is not UTC";
  ImportPatch patch("kernel32.dll", "SetFileTime", reinterpret_cast<void*>(RecordingSetFileTime));
  ASSERT_TRUE(patch.Applied());
  g_realSetFileTime = patch.Original();

  // A winter date, a summer date and one inside the hour skipped in spring: all take today's
  // offset, whatever their season.
  const SYSTEMTIME samples[] = {Local(2001, 2, 3, 4, 5, 6), Local(2001, 7, 3, 4, 5, 6, 789),
                                Local(2001, 3, 25, 2, 30, 0)};
  for (const SYSTEMTIME& created : samples) {
    SYSTEMTIME modified = created;
    modified.wYear = 2019;
    DWORD error = 0;
    ASSERT_EQ(SetPathTimes(file_.c_str(), &created, &modified, &error), 1) << error;
    ASSERT_TRUE(g_lastCall.has_value());
    EXPECT_EQ(g_lastCall->created, ExpectedUtcTicks(created));
    EXPECT_EQ(g_lastCall->modified, ExpectedUtcTicks(modified));
    EXPECT_FALSE(g_lastCall->lastAccessGiven);
    EXPECT_EQ(Ticks(ReadRaw(file_).modified), ExpectedUtcTicks(modified));
  }
}

TEST_F(PathTimes, PassesOnlyTheTimesGiven) {
  ImportPatch patch("kernel32.dll", "SetFileTime", reinterpret_cast<void*>(RecordingSetFileTime));
  ASSERT_TRUE(patch.Applied());
  g_realSetFileTime = patch.Original();
  SYSTEMTIME time = Local(2001, 2, 3, 4, 5, 6);
  RawTimes before = ReadRaw(file_);

  ASSERT_EQ(SetPathTimes(file_.c_str(), &time, nullptr, nullptr), 1);
  EXPECT_EQ(g_lastCall->created, ExpectedUtcTicks(time));
  EXPECT_EQ(g_lastCall->modified, std::nullopt);
  EXPECT_FALSE(g_lastCall->lastAccessGiven);
  EXPECT_EQ(Ticks(ReadRaw(file_).modified), Ticks(before.modified));

  ASSERT_EQ(SetPathTimes(file_.c_str(), nullptr, &time, nullptr), 1);
  EXPECT_EQ(g_lastCall->created, std::nullopt);
  EXPECT_EQ(g_lastCall->modified, ExpectedUtcTicks(time));
  EXPECT_EQ(Ticks(ReadRaw(file_).modified), ExpectedUtcTicks(time));

  // Neither: still a successful call that changes nothing.
  RawTimes middle = ReadRaw(file_);
  ASSERT_EQ(SetPathTimes(file_.c_str(), nullptr, nullptr, nullptr), 1);
  EXPECT_EQ(g_lastCall->created, std::nullopt);
  EXPECT_EQ(g_lastCall->modified, std::nullopt);
  EXPECT_EQ(Ticks(ReadRaw(file_).modified), Ticks(middle.modified));
}

TEST_F(PathTimes, LeavesAnOutOfRangeTimeAloneAndWritesTheOther) {
  ImportPatch patch("kernel32.dll", "SetFileTime", reinterpret_cast<void*>(RecordingSetFileTime));
  ASSERT_TRUE(patch.Applied());
  g_realSetFileTime = patch.Original();
  SYSTEMTIME good = Local(2010, 6, 7, 8, 9, 10);
  const SYSTEMTIME bad[] = {Local(2010, 13, 1, 0, 0, 0), Local(2010, 0, 1, 0, 0, 0),
                            Local(2010, 1, 0, 0, 0, 0), Local(1600, 12, 31, 0, 0, 0), SYSTEMTIME{}};
  for (const SYSTEMTIME& outOfRange : bad) {
    ASSERT_EQ(SetPathTimes(file_.c_str(), &outOfRange, &good, nullptr), 1);
    EXPECT_EQ(g_lastCall->created, std::nullopt);
    EXPECT_EQ(g_lastCall->modified, ExpectedUtcTicks(good));

    RawTimes before = ReadRaw(file_);
    ASSERT_EQ(SetPathTimes(file_.c_str(), &good, &outOfRange, nullptr), 1);
    EXPECT_EQ(g_lastCall->created, ExpectedUtcTicks(good));
    EXPECT_EQ(g_lastCall->modified, std::nullopt);
    EXPECT_EQ(Ticks(ReadRaw(file_).modified), Ticks(before.modified));
  }
}

TEST_F(PathTimes, RoundTripKeepsTheStampToTheMillisecond) {
  // A stamp with a sub-millisecond part, as other programs leave them.
  FILETIME odd = FromTicks(132000000001234567ull);
  WriteRaw(file_, nullptr, &odd);
  SYSTEMTIME modified;
  ASSERT_EQ(GetPathTimes(file_.c_str(), nullptr, &modified), 1);
  ASSERT_EQ(SetPathTimes(file_.c_str(), nullptr, &modified, nullptr), 1);
  uint64_t truncated = Ticks(odd) - Ticks(odd) % kTicksPerMillisecond;
  EXPECT_EQ(Ticks(ReadRaw(file_).modified), truncated);
}

TEST_F(PathTimes, ReadsWithTheOffsetInEffectNow) {
  SYSTEMTIME summer = Local(2003, 8, 9, 10, 11, 12, 345);
  FILETIME utc = FromTicks(ExpectedUtcTicks(summer));
  WriteRaw(file_, nullptr, &utc);
  SYSTEMTIME created = {};
  SYSTEMTIME modified = {};
  ASSERT_EQ(GetPathTimes(file_.c_str(), &created, &modified), 1);
  EXPECT_EQ(modified.wYear, 2003);
  EXPECT_EQ(modified.wMonth, 8);
  EXPECT_EQ(modified.wDay, 9);
  EXPECT_EQ(modified.wDayOfWeek, 6); // filled on output
  EXPECT_EQ(modified.wHour, 10);
  EXPECT_EQ(modified.wMinute, 11);
  EXPECT_EQ(modified.wSecond, 12);
  EXPECT_EQ(modified.wMilliseconds, 345);
  EXPECT_NE(created.wYear, 0);
}

TEST_F(PathTimes, FillsOnlyTheRequestedOutputs) {
  SYSTEMTIME untouched;
  FillMemory(&untouched, sizeof(untouched), 0xAB);
  SYSTEMTIME before = untouched;
  SYSTEMTIME modified = {};
  ASSERT_EQ(GetPathTimes(file_.c_str(), nullptr, &modified), 1);
  EXPECT_NE(modified.wYear, 0);
  ASSERT_EQ(GetPathTimes(file_.c_str(), &untouched, nullptr), 1);
  EXPECT_NE(std::memcmp(&untouched, &before, sizeof(before)), 0);
  EXPECT_EQ(GetPathTimes(file_.c_str(), nullptr, nullptr), 0);
}

TEST_F(PathTimes, SetsAFoldersModifiedTimeOnly) {
  std::wstring sub = folder_.MakeFolder(L"album");
  RawTimes before = ReadRaw(sub);
  SYSTEMTIME time = Local(2005, 5, 6, 7, 8, 9, 10);
  DWORD error = 0;
  ASSERT_EQ(SetPathTimes(sub.c_str(), nullptr, &time, &error), 1) << error;
  SYSTEMTIME readBack;
  ASSERT_EQ(GetPathTimes(sub.c_str(), nullptr, &readBack), 1);
  EXPECT_EQ(std::memcmp(&readBack.wYear, &time.wYear, sizeof(WORD) * 2), 0);
  EXPECT_EQ(readBack.wDay, 6);
  EXPECT_EQ(readBack.wHour, 7);
  EXPECT_EQ(readBack.wMilliseconds, 10);
  if (FileSystemKeepsCreatedTimes()) {
    EXPECT_EQ(Ticks(ReadRaw(sub).created), Ticks(before.created));
  }
}

TEST_F(PathTimes, KeepsCreatedTimesOnDiskWhereTheFileSystemDoes) {
  if (!FileSystemKeepsCreatedTimes()) {
    GTEST_SKIP() << "this file system does not keep Created times (Wine on Linux reports the "
                    "Modified time as Created)";
  }
  SYSTEMTIME created = Local(2001, 2, 3, 4, 5, 6);
  SYSTEMTIME modified = Local(2002, 3, 4, 5, 6, 7);
  ASSERT_EQ(SetPathTimes(file_.c_str(), &created, &modified, nullptr), 1);
  SYSTEMTIME createdBack;
  SYSTEMTIME modifiedBack;
  ASSERT_EQ(GetPathTimes(file_.c_str(), &createdBack, &modifiedBack), 1);
  EXPECT_EQ(createdBack.wYear, 2001);
  EXPECT_EQ(createdBack.wHour, 4);
  EXPECT_EQ(modifiedBack.wYear, 2002);
  EXPECT_EQ(Ticks(ReadRaw(file_).created), ExpectedUtcTicks(created));
}

TEST_F(PathTimes, ReportsAMissingPath) {
  SYSTEMTIME time = Local(2001, 2, 3, 4, 5, 6);
  DWORD error = 0;
  std::wstring missing = folder_.PathOf(L"missing.jpg");
  EXPECT_EQ(SetPathTimes(missing.c_str(), &time, &time, &error), 0);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(SetPathTimes(missing.c_str(), &time, &time, nullptr), 0);
  SYSTEMTIME out;
  EXPECT_EQ(GetPathTimes(missing.c_str(), &out, &out), 0);
}

TEST_F(PathTimes, ReportsASharingViolationAndChangesNothing) {
  RawTimes before = ReadRaw(file_);
  // Another handle that lets others read but not write.
  UniqueFile holder(CreateFileW(file_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(holder);
  SYSTEMTIME time = Local(2001, 2, 3, 4, 5, 6);
  DWORD error = 0;
  EXPECT_EQ(SetPathTimes(file_.c_str(), &time, &time, &error), 0);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  holder.Reset();
  EXPECT_EQ(Ticks(ReadRaw(file_).modified), Ticks(before.modified));
}

TEST_F(PathTimes, ReportsAccessDeniedOnAReadOnlyFile) {
  ASSERT_TRUE(SetFileAttributesW(file_.c_str(), FILE_ATTRIBUTE_READONLY));
  {
    UniqueFile probe(CreateFileW(file_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (probe) {
      GTEST_SKIP() << "a read-only file opens for writing here (Wine run as root); run the tests "
                      "as an ordinary user";
    }
  }
  RawTimes before = ReadRaw(file_);
  SYSTEMTIME time = Local(2001, 2, 3, 4, 5, 6);
  DWORD error = 0;
  EXPECT_EQ(SetPathTimes(file_.c_str(), &time, &time, &error), 0);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(SetPathTimes(file_.c_str(), nullptr, nullptr, &error), 0);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(Ticks(ReadRaw(file_).modified), Ticks(before.modified));
  // Still read-only: the program never clears the attribute.
  EXPECT_NE(GetFileAttributesW(file_.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}

} // namespace
