#include "exif/read_times_and_exif.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/handles.h"
#include "filetime/path_times.h"
#include "tests/exif_cases.h"
#include "tests/support/temp_folder.h"

namespace {

// Every output of one ReadTimesAndExif call.
struct Reading {
  SYSTEMTIME created = {};
  SYSTEMTIME modified = {};
  SYSTEMTIME dates[3] = {UntouchedDate(), UntouchedDate(), UntouchedDate()};
  TimesRequest request = {0, &created, &modified, &dates[0], &dates[1], &dates[2]};
  int result = -1;

  explicit Reading(const std::wstring& path) { result = ReadTimesAndExif(path.c_str(), &request); }
};

std::string Text(const Bytes& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

void ExpectDates(const Reading& reading, const ExpectedDates& expected, const std::string& name) {
  ExpectDates(reading.dates, expected, name);
}

// The times must be the ones every other reader of a path's times gets.
void ExpectTimesOf(const std::wstring& path, const Reading& reading, const std::string& name) {
  SYSTEMTIME created = {};
  SYSTEMTIME modified = {};
  ASSERT_EQ(GetPathTimes(path.c_str(), &created, &modified), 1) << name;
  EXPECT_EQ(reading.result, 1) << name;
  EXPECT_EQ(memcmp(&reading.created, &created, sizeof(created)), 0) << name;
  EXPECT_EQ(memcmp(&reading.modified, &modified, sizeof(modified)), 0) << name;
  EXPECT_NE(reading.modified.wYear, 0) << name;
}

class ReadTimesAndExifFile : public ::testing::Test {
protected:
  std::wstring Write(const Bytes& bytes, const std::wstring& name = L"photo.jpg") {
    return folder_.MakeFile(name, Text(bytes));
  }

  TempFolder folder_;
};

TEST_F(ReadTimesAndExifFile, FindsTheDatesOfEachSampleFile) {
  for (const DateCase& c : DateCases()) {
    std::wstring path = Write(c.file);
    Reading reading(path);
    ExpectTimesOf(path, reading, c.name);
    ExpectDates(reading, c.expected, c.name);
  }
}

TEST_F(ReadTimesAndExifFile, ExaminesOnlyFilesLargerThan65535Bytes) {
  Bytes tiff = BuildTiff(SampleLayout(ByteOrder::kIntel)).bytes;
  struct Case {
    size_t size;
    bool examined;
  };
  for (Case c : {Case{65535, false}, Case{65536, true}, Case{65534, false}, Case{1000, false},
                 Case{65537, true}}) {
    Bytes file = JpegBuilder().Exif(tiff).Build(c.size);
    ASSERT_EQ(file.size(), c.size);
    std::wstring path = Write(file);
    Reading reading(path);
    std::string name = std::to_string(c.size) + " bytes";
    ExpectTimesOf(path, reading, name);
    ExpectDates(reading, c.examined ? SampleDates() : ExpectedDates{}, name);
  }
}

TEST_F(ReadTimesAndExifFile, ExaminesOnlyFilesThatStartLikeAnImage) {
  Bytes exif = JpegBuilder().Exif(BuildTiff(SampleLayout(ByteOrder::kIntel)).bytes).Build();
  struct Case {
    std::string start;
    bool examined;
  };
  const Case cases[] = {{"\xFF\xD8", true}, {"II", true},  {"MM", true},
                        {"GIF89a", false},  {"IM", false}, {"\xFF\xD9", false}};
  for (const Case& c : cases) {
    // The same Exif segment after each start, so only the first two bytes differ.
    Bytes file(c.start.begin(), c.start.end());
    file.insert(file.end(), exif.begin() + 2, exif.end());
    Bytes padding = ScanBytes(kCaseFileSize - file.size(), 3);
    file.insert(file.end(), padding.begin(), padding.end());
    std::wstring path = Write(file);
    Reading reading(path);
    ExpectTimesOf(path, reading, c.start);
    ExpectDates(reading, c.examined ? SampleDates() : ExpectedDates{}, c.start);
  }
}

TEST_F(ReadTimesAndExifFile, ReadsAFoldersTimesAndNeverItsContents) {
  std::wstring album = folder_.MakeFolder(L"album.jpg");
  Reading reading(album);
  ExpectTimesOf(album, reading, "folder");
  ExpectDates(reading, {}, "folder");
}

TEST_F(ReadTimesAndExifFile, ReadsTimesOfABigEndianFileWithoutExif) {
  TiffLayout own = SampleLayout(ByteOrder::kMotorola);
  Bytes file = BuildTiff(own).bytes;
  file.resize(kCaseFileSize, 0);
  std::wstring path = Write(file, L"scan.tif");
  Reading reading(path);
  ExpectTimesOf(path, reading, "MM file");
  ExpectDates(reading, {}, "MM file");
}

TEST_F(ReadTimesAndExifFile, ReportsAPathThatCannotBeOpened) {
  Reading missing(folder_.PathOf(L"missing.jpg"));
  EXPECT_EQ(missing.result, 0);
  EXPECT_EQ(missing.request.error, static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(missing.modified.wYear, 0);
  ExpectDates(missing, {}, "missing");

  // A holder that shares nothing: the times need no access to the data and are still read; the
  // Exif data is not.
  std::wstring path = Write(
      JpegBuilder().Exif(BuildTiff(SampleLayout(ByteOrder::kIntel)).bytes).Build(kCaseFileSize));
  UniqueFile holder(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(holder);
  Reading locked(path);
  EXPECT_EQ(locked.result, 1);
  EXPECT_NE(locked.modified.wYear, 0);
  ExpectDates(locked, {}, "locked");
}

TEST_F(ReadTimesAndExifFile, ReadsOnlyWhatIsAsked) {
  std::wstring path = Write(
      JpegBuilder().Exif(BuildTiff(SampleLayout(ByteOrder::kIntel)).bytes).Build(kCaseFileSize));
  // Dates only: no time was asked for, so the result is 0, yet the dates are read.
  SYSTEMTIME original = UntouchedDate();
  TimesRequest datesOnly = {};
  datesOnly.exifOriginal = &original;
  EXPECT_EQ(ReadTimesAndExif(path.c_str(), &datesOnly), 0);
  EXPECT_EQ(FieldsOf(original), SampleDates().original);

  // Times only, as for the Reference pane.
  SYSTEMTIME modified = {};
  TimesRequest timesOnly = {};
  timesOnly.modified = &modified;
  timesOnly.error = 77;
  EXPECT_EQ(ReadTimesAndExif(path.c_str(), &timesOnly), 1);
  EXPECT_NE(modified.wYear, 0);
  EXPECT_EQ(timesOnly.error, 77u);
}

TEST_F(ReadTimesAndExifFile, EveryCutOfTheTiffBlockGivesTrueDatesOrNone) {
  for (ByteOrder order : {ByteOrder::kIntel, ByteOrder::kMotorola}) {
    Bytes tiff = BuildTiff(SampleLayout(order)).bytes;
    std::wstring path = folder_.PathOf(L"cut.jpg");
    for (size_t cut = 0; cut <= tiff.size(); ++cut) {
      Bytes part(tiff.begin(), tiff.begin() + static_cast<ptrdiff_t>(cut));
      Write(JpegBuilder().Exif(part).Build(kCaseFileSize), L"cut.jpg");
      Reading reading(path);
      std::string name = "cut at " + std::to_string(cut);
      ASSERT_EQ(reading.result, 1) << name;
      ExpectedDates actual = DatesOf(reading.dates);
      for (auto field :
           {&ExpectedDates::dateTime, &ExpectedDates::original, &ExpectedDates::digitized}) {
        bool plausible = actual.*field == SampleDates().*field || actual.*field == DateFields{};
        EXPECT_TRUE(plausible) << name;
        if (cut == tiff.size()) {
          EXPECT_EQ(actual.*field, SampleDates().*field) << name;
        }
      }
    }
  }
}

} // namespace
