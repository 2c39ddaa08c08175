#include "filetime/path_times.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>

#include "base/handles.h"
#include "tests/support/file_times.h"
#include "tests/support/temp_folder.h"

namespace {

class PathTimes : public ::testing::Test {
protected:
  void SetUp() override { file_ = folder_.MakeFile(L"photo.jpg"); }
  bool FileSystemKeepsCreatedTimes() { return ::FileSystemKeepsCreatedTimes(folder_.Path()); }
  // The last SetFileTime call the recorder saw.
  static SetFileTimeCall Last(const SetFileTimeRecorder& recorder) {
    return recorder.Calls().empty() ? SetFileTimeCall{} : recorder.Calls().back();
  }

  TempFolder folder_;
  std::wstring file_;
};

TEST_F(PathTimes, ConvertsLocalTimeWithTheOffsetInEffectNow) {
  ASSERT_NE(CurrentBiasMinutes(), 0) << "run the tests in a local zone that is not UTC";
  SetFileTimeRecorder recorder;
  ASSERT_TRUE(recorder.Applied());

  // A winter date, a summer date and one inside the hour skipped in spring: all take today's
  // offset, whatever their season.
  const SYSTEMTIME samples[] = {Local(2001, 2, 3, 4, 5, 6), Local(2001, 7, 3, 4, 5, 6, 789),
                                Local(2001, 3, 25, 2, 30, 0)};
  for (const SYSTEMTIME& created : samples) {
    SYSTEMTIME modified = created;
    modified.wYear = 2019;
    DWORD error = 0;
    ASSERT_EQ(SetPathTimes(file_.c_str(), &created, &modified, &error), 1) << error;
    ASSERT_FALSE(recorder.Calls().empty());
    EXPECT_EQ(Last(recorder).created, ExpectedUtcTicks(created));
    EXPECT_EQ(Last(recorder).modified, ExpectedUtcTicks(modified));
    EXPECT_FALSE(Last(recorder).lastAccessGiven);
    EXPECT_EQ(Ticks(ReadRaw(file_).modified), ExpectedUtcTicks(modified));
  }
}

TEST_F(PathTimes, PassesOnlyTheTimesGiven) {
  SetFileTimeRecorder recorder;
  ASSERT_TRUE(recorder.Applied());
  SYSTEMTIME time = Local(2001, 2, 3, 4, 5, 6);
  RawTimes before = ReadRaw(file_);

  ASSERT_EQ(SetPathTimes(file_.c_str(), &time, nullptr, nullptr), 1);
  EXPECT_EQ(Last(recorder).created, ExpectedUtcTicks(time));
  EXPECT_EQ(Last(recorder).modified, std::nullopt);
  EXPECT_FALSE(Last(recorder).lastAccessGiven);
  EXPECT_EQ(Ticks(ReadRaw(file_).modified), Ticks(before.modified));

  ASSERT_EQ(SetPathTimes(file_.c_str(), nullptr, &time, nullptr), 1);
  EXPECT_EQ(Last(recorder).created, std::nullopt);
  EXPECT_EQ(Last(recorder).modified, ExpectedUtcTicks(time));
  EXPECT_EQ(Ticks(ReadRaw(file_).modified), ExpectedUtcTicks(time));

  // Neither: still a successful call that changes nothing.
  RawTimes middle = ReadRaw(file_);
  ASSERT_EQ(SetPathTimes(file_.c_str(), nullptr, nullptr, nullptr), 1);
  EXPECT_EQ(Last(recorder).created, std::nullopt);
  EXPECT_EQ(Last(recorder).modified, std::nullopt);
  EXPECT_EQ(Ticks(ReadRaw(file_).modified), Ticks(middle.modified));
}

TEST_F(PathTimes, LeavesAnOutOfRangeTimeAloneAndWritesTheOther) {
  SetFileTimeRecorder recorder;
  ASSERT_TRUE(recorder.Applied());
  SYSTEMTIME good = Local(2010, 6, 7, 8, 9, 10);
  const SYSTEMTIME bad[] = {Local(2010, 13, 1, 0, 0, 0), Local(2010, 0, 1, 0, 0, 0),
                            Local(2010, 1, 0, 0, 0, 0), Local(1600, 12, 31, 0, 0, 0), SYSTEMTIME{}};
  for (const SYSTEMTIME& outOfRange : bad) {
    ASSERT_EQ(SetPathTimes(file_.c_str(), &outOfRange, &good, nullptr), 1);
    EXPECT_EQ(Last(recorder).created, std::nullopt);
    EXPECT_EQ(Last(recorder).modified, ExpectedUtcTicks(good));

    RawTimes before = ReadRaw(file_);
    ASSERT_EQ(SetPathTimes(file_.c_str(), &good, &outOfRange, nullptr), 1);
    EXPECT_EQ(Last(recorder).created, ExpectedUtcTicks(good));
    EXPECT_EQ(Last(recorder).modified, std::nullopt);
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

// Another program writing the file, sharing it for reading only: its times can be read, not set.
TEST_F(PathTimes, AFileHeldOpenForWritingIsReadButNotWritten) {
  RawTimes before = ReadRaw(file_);
  UniqueFile holder(CreateFileW(file_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(holder);
  SYSTEMTIME read = {};
  EXPECT_EQ(GetPathTimes(file_.c_str(), nullptr, &read), 1);
  EXPECT_EQ(ExpectedUtcTicks(read),
            Ticks(before.modified) / kTicksPerMillisecond * kTicksPerMillisecond);
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
