#include "exif/exif_date.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "exif/jpeg_walker.h"
#include "exif/tiff_walker.h"
#include "tests/exif_cases.h"
#include "tests/exif_recorder.h"

namespace {

const uint8_t* TextBytes(const char* text) {
  return reinterpret_cast<const uint8_t*>(text);
}

TEST(ParseExifDateTime, TakesEachFieldFromItsPlace) {
  struct Case {
    const char* text;
    DateFields expected;
  };
  const Case cases[] = {
      {"2019:07:04 18:30:05", {2019, 7, 4, 18, 30, 5}},
      {"0000:00:00 00:00:00", {0, 0, 0, 0, 0, 0}},
      {"    :  :     :  :  ", {0, 0, 0, 0, 0, 0}},
      {"1999-12-31T23:59:58", {1999, 12, 31, 23, 59, 58}}, // separators are not checked
      {"9999:99:99 99:99:99", {9999, 99, 99, 99, 99, 99}}, // nor ranges
      {" 201: 7:+4  8:3x:x5", {201, 7, 4, 8, 3, 0}},
      {"2019\00007\00004\00018\00030\00005", {2019, 7, 4, 18, 30, 5}},
  };
  for (const Case& c : cases) {
    DateRecord date = UntouchedDate();
    ParseExifDateTime(TextBytes(c.text), &date);
    EXPECT_EQ(FieldsOf(date), c.expected) << c.text;
    EXPECT_EQ(date.wDayOfWeek, kUntouched) << c.text;
    EXPECT_EQ(date.wMilliseconds, kUntouched) << c.text;
  }
}

// An entry for tag 0x9003 whose text sits at textAt in a block of blockLength bytes.
struct HandlerCase {
  const char* name;
  uint32_t count;
  size_t textAt;
  size_t blockLength;
  bool inEntry; // the text sits in the entry's own value field
  bool read;
};

TEST(ExifDateHandler, ReadsOnlyWholeDatesInsideTheBlock) {
  const HandlerCase cases[] = {
      {"well inside", 20, 40, 100, false, true},
      {"ending at the block end", 20, 81, 100, false, true},
      {"one past the block end", 20, 82, 100, false, false},
      {"count smaller than the text", 5, 40, 100, false, true},
      {"count 0", 0, 40, 100, false, false},
      {"count with the top bit", 0x80000014, 40, 100, false, false},
      {"held in the entry", 4, 18, 100, true, false},
  };
  for (const HandlerCase& c : cases) {
    Bytes block(std::max<size_t>(c.blockLength, c.textAt + 19), 0);
    std::memcpy(block.data() + c.textAt, "2019:07:04 18:30:05", 19);
    TiffEntry entry = {};
    entry.tag = 0x9003;
    entry.type = 2;
    entry.count = c.count;
    entry.entryBytes = block.data() + 10;
    entry.elementSize = 1;
    entry.valuePointer = c.inEntry ? entry.entryBytes + 8 : block.data() + c.textAt;
    entry.valueOffset = c.inEntry ? 0 : static_cast<uint32_t>(c.textAt);
    entry.block = block.data();
    entry.blockLength = c.blockLength;
    DateRecord original = UntouchedDate();
    TimesRequest request = {};
    request.exifOriginal = &original;
    EXPECT_EQ(ExifDateHandler(nullptr, &entry, &request), c.read ? 1 : 0) << c.name;
    DateFields expected = c.read ? DateFields{2019, 7, 4, 18, 30, 5} : DateFields{};
    EXPECT_EQ(FieldsOf(original), expected) << c.name;
  }
}

TEST(ExifDateHandler, WritesEachTagToItsOwnOutputOnly) {
  Bytes block(64, 0);
  std::memcpy(block.data() + 30, "2019:07:04 18:30:05", 19);
  TiffEntry entry = {};
  entry.count = 20;
  entry.elementSize = 1;
  entry.entryBytes = block.data() + 10;
  entry.valuePointer = block.data() + 30;
  entry.block = block.data();
  entry.blockLength = block.size();
  struct Case {
    uint16_t tag;
    int output; // which of the three, or -1
  };
  const Case cases[] = {{0x0132, 0}, {0x9003, 1}, {0x9004, 2}, {0x9005, -1}, {0x0131, -1}};
  for (const Case& c : cases) {
    DateRecord dates[3] = {UntouchedDate(), UntouchedDate(), UntouchedDate()};
    TimesRequest request = {0, nullptr, nullptr, &dates[0], &dates[1], &dates[2]};
    entry.tag = c.tag;
    ExifDateHandler(nullptr, &entry, &request);
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(dates[i].wYear, i == c.output ? 2019 : 0) << c.tag << " " << i;
    // Outputs not asked for are left alone.
    TimesRequest none = {};
    EXPECT_EQ(ExifDateHandler(nullptr, &entry, &none), 0) << c.tag;
  }
}

struct Found {
  DateRecord dates[3] = {UntouchedDate(), UntouchedDate(), UntouchedDate()};
};

Found ReadDates(const Bytes& bytes) {
  Found found;
  TimesRequest request = {0, nullptr, nullptr, &found.dates[0], &found.dates[1], &found.dates[2]};
  ReadExifDates(bytes.data(), bytes.size(), &request);
  return found;
}

TEST(ReadExifDates, FindsTheDatesOfEachSampleFile) {
  for (const DateCase& c : DateCases()) {
    ASSERT_GT(c.file.size(), 65535u) << c.name;
    ExpectDates(ReadDates(c.file).dates, c.expected, c.name);
  }
}

TEST(ReadExifDates, FillsOnlyTheOutputsAskedFor) {
  Bytes file = JpegBuilder().Exif(BuildTiff(SampleLayout(ByteOrder::kIntel)).bytes).Build();
  DateRecord original = UntouchedDate();
  TimesRequest request = {};
  request.exifOriginal = &original;
  ReadExifDates(file.data(), file.size(), &request);
  EXPECT_EQ(FieldsOf(original), SampleDates().original);
  EXPECT_EQ(request.error, 0u);
}

// A date found in a damaged copy is either the true one or absent, never something else.
void ExpectPlausible(const DateRecord (&dates)[3], const std::string& name) {
  ExpectedDates actual = DatesOf(dates);
  ExpectedDates truth = SampleDates();
  EXPECT_TRUE(actual.dateTime == truth.dateTime || actual.dateTime == DateFields{}) << name;
  EXPECT_TRUE(actual.original == truth.original || actual.original == DateFields{}) << name;
  EXPECT_TRUE(actual.digitized == truth.digitized || actual.digitized == DateFields{}) << name;
}

// Entries seen in a damaged copy must be entries of the whole one.
void ExpectSubset(const Recorder& part, const Recorder& whole, const std::string& name) {
  for (const RecordedEntry& entry : part.entries) {
    bool known =
        std::find(whole.entries.begin(), whole.entries.end(), entry) != whole.entries.end();
    EXPECT_TRUE(known) << name << ": tag " << entry.tag;
  }
}

TEST(Truncation, EveryCutOfTheTiffBlockGivesTrueDatesOrNone) {
  for (ByteOrder order : {ByteOrder::kIntel, ByteOrder::kMotorola}) {
    Bytes tiff = BuildTiff(SampleLayout(order)).bytes;
    Recorder whole;
    ParseExifBlock(&whole.table, tiff.data(), tiff.size());
    ASSERT_EQ(whole.entries.size(), 16u);
    size_t lastSeen = 0;
    for (size_t cut = 0; cut <= tiff.size(); ++cut) {
      std::string name = "cut at " + std::to_string(cut);
      // Cut inside a well-formed segment, so the segment itself still fits.
      Bytes part(tiff.begin(), tiff.begin() + static_cast<ptrdiff_t>(cut));
      Bytes file = JpegBuilder().Exif(part).Build();
      Recorder recorder;
      WalkJpegMarkers(file.data(), file.size(), &recorder.table);
      ExpectSubset(recorder, whole, name);
      EXPECT_GE(recorder.entries.size(), lastSeen) << name; // a longer cut never loses any
      lastSeen = recorder.entries.size();
      ExpectPlausible(ReadDates(file).dates, name);
    }
    EXPECT_EQ(lastSeen, whole.entries.size());
  }
}

TEST(Truncation, EveryCutOfTheFileGivesTrueDatesOrNone) {
  for (ByteOrder order : {ByteOrder::kIntel, ByteOrder::kMotorola}) {
    Bytes file = JpegBuilder()
                     .Jfif()
                     .Exif(BuildTiff(SampleLayout(order)).bytes)
                     .Segment(0xFE, Bytes{'o', 'k'})
                     .Scan(100)
                     .Build();
    Recorder whole;
    WalkJpegMarkers(file.data(), file.size(), &whole.table);
    for (size_t cut = 0; cut <= file.size(); ++cut) {
      std::string name = "cut at " + std::to_string(cut);
      // A copy of exactly the cut length, so the sanitizer sees any read past it.
      Bytes part(file.begin(), file.begin() + static_cast<ptrdiff_t>(cut));
      part.shrink_to_fit();
      Recorder recorder;
      WalkJpegMarkers(part.data(), part.size(), &recorder.table);
      ExpectSubset(recorder, whole, name);
      Found found = ReadDates(part);
      ExpectPlausible(found.dates, name);
      if (cut == file.size())
        ExpectDates(found.dates, SampleDates(), name);
    }
  }
}

} // namespace
