#include "tests/exif_cases.h"

#include <gtest/gtest.h>

namespace {

constexpr DateFields kNone = {};
constexpr DateFields k180505 = {2019, 7, 4, 18, 30, 5};
constexpr DateFields k180501 = {2019, 7, 4, 18, 30, 1};
constexpr DateFields k180502 = {2019, 7, 4, 18, 30, 2};
constexpr DateFields kOther = {2001, 2, 3, 4, 5, 6};

const char* const kDate = "2019:07:04 18:30:05";
const char* const kOtherDate = "2001:02:03 04:05:06";

Bytes Jpeg(const Bytes& tiff) {
  return JpegBuilder().Jfif().Exif(tiff).Build(kCaseFileSize);
}

Bytes Jpeg(const TiffLayout& layout) {
  return Jpeg(BuildTiff(layout).bytes);
}

Bytes Concat(Bytes first, const Bytes& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

Bytes Padded(Bytes bytes) {
  Bytes padding = ScanBytes(kCaseFileSize - bytes.size(), 7);
  return Concat(std::move(bytes), padding);
}

Bytes SegmentBytes(uint8_t marker, const Bytes& payload) {
  size_t length = payload.size() + 2;
  return Concat({0xFF, marker, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)},
                payload);
}

TiffLayout OnlyOriginal(const TiffField& original) {
  TiffLayout layout;
  layout.exif = Ifd{original};
  return layout;
}

// DateTimeOriginal at the very end of the TIFF block, missing `shortBy` of its characters.
Bytes OriginalAtBlockEnd(size_t shortBy) {
  TiffLayout layout = OnlyOriginal(RawField(0x9003, 2, 20, 0));
  BuiltTiff tiff = BuildTiff(layout);
  uint32_t textAt = static_cast<uint32_t>(tiff.bytes.size());
  std::string text = std::string(kDate).substr(0, 19 - shortBy);
  tiff.bytes.insert(tiff.bytes.end(), text.begin(), text.end());
  // The walker passes an entry only when its 20 values fit, so it is told of 19 here.
  size_t entryAt = tiff.exifOffset + 2;
  PutU32(tiff.bytes, entryAt + 4, static_cast<uint32_t>(text.size()), ByteOrder::kIntel);
  PutU32(tiff.bytes, entryAt + 8, textAt, ByteOrder::kIntel);
  return Jpeg(tiff.bytes);
}

Bytes ThumbnailThenLaterSegment() {
  TiffLayout layout = SampleLayout(ByteOrder::kIntel);
  Bytes thumbnail = JpegBuilder().Scan(64).Build();
  layout.chain[1].push_back(TiffField{0x0201,
                                      7,
                                      static_cast<uint32_t>(thumbnail.size()),
                                      {},
                                      std::string(thumbnail.begin(), thumbnail.end()),
                                      {}});
  return JpegBuilder()
      .Exif(BuildTiff(layout).bytes)
      .Exif(BuildTiff(OnlyOriginal(Ascii(0x9003, kOtherDate))).bytes)
      .Build(kCaseFileSize);
}

Bytes SelfLinkedIfd0() {
  BuiltTiff tiff = BuildTiff(SampleLayout(ByteOrder::kMotorola));
  uint32_t ifd0 = tiff.chainOffsets[0];
  PutU32(tiff.bytes, NextLinkAt(tiff.bytes, ifd0, ByteOrder::kMotorola), ifd0,
         ByteOrder::kMotorola);
  return Jpeg(tiff.bytes);
}

} // namespace

DateFields FieldsOf(const DateRecord& date) {
  return {date.wYear, date.wMonth, date.wDay, date.wHour, date.wMinute, date.wSecond};
}

std::ostream& operator<<(std::ostream& out, const DateFields& date) {
  return out << date.year << "-" << date.month << "-" << date.day << " " << date.hour << ":"
             << date.minute << ":" << date.second;
}

DateRecord UntouchedDate() {
  DateRecord date = {};
  date.wDayOfWeek = kUntouched;
  date.wMilliseconds = kUntouched;
  return date;
}

ExpectedDates DatesOf(const DateRecord (&dates)[3]) {
  return {FieldsOf(dates[0]), FieldsOf(dates[1]), FieldsOf(dates[2])};
}

void ExpectDates(const DateRecord (&dates)[3], const ExpectedDates& expected,
                 const std::string& name) {
  ExpectedDates actual = DatesOf(dates);
  EXPECT_EQ(actual.dateTime, expected.dateTime) << name;
  EXPECT_EQ(actual.original, expected.original) << name;
  EXPECT_EQ(actual.digitized, expected.digitized) << name;
  for (const DateRecord& date : dates) {
    EXPECT_EQ(date.wDayOfWeek, kUntouched) << name;
    EXPECT_EQ(date.wMilliseconds, kUntouched) << name;
  }
}

TiffLayout SampleLayout(ByteOrder order) {
  return CameraLayout(order, kDate, "2019:07:04 18:30:01", "2019:07:04 18:30:02");
}

ExpectedDates SampleDates() {
  return {k180505, k180501, k180502};
}

std::vector<DateCase> DateCases() {
  TiffLayout unlinked = SampleLayout(ByteOrder::kIntel);
  unlinked.linkExif = false;
  TiffLayout ifd1Wins = SampleLayout(ByteOrder::kIntel);
  ifd1Wins.chain[1].push_back(Ascii(0x0132, kOtherDate));
  TiffLayout exifIfdWins = SampleLayout(ByteOrder::kMotorola);
  exifIfdWins.exif->push_back(Ascii(0x0132, kOtherDate));
  TiffLayout blanks = CameraLayout(ByteOrder::kIntel, "0000:00:00 00:00:00",
                                   "    :  :     :  :  ", "2019:7 :4 :+8:3x: 5");
  TiffLayout inGps = OnlyOriginal(Ascii(0x9003, kDate));
  inGps.gps = Ifd{Ascii(0x0132, kOtherDate), Ascii(0x9004, kOtherDate)};
  Bytes sampleTiff = BuildTiff(SampleLayout(ByteOrder::kIntel)).bytes;
  Bytes exifSegment = SegmentBytes(0xE1, ExifPayload(sampleTiff));

  return {
      {"camera, little-endian", Jpeg(SampleLayout(ByteOrder::kIntel)), SampleDates()},
      {"camera, big-endian", Jpeg(SampleLayout(ByteOrder::kMotorola)), SampleDates()},
      {"no Exif IFD pointer: no dates at all", Jpeg(unlinked), {}},
      {"DateTime in IFD1 overrides IFD0", Jpeg(ifd1Wins), {kOther, k180501, k180502}},
      {"DateTime in the Exif IFD comes last", Jpeg(exifIfdWins), {kOther, k180501, k180502}},
      {"zeros, blanks and odd separators",
       Jpeg(blanks),
       {kNone, kNone, DateFields{2019, 7, 4, 8, 3, 5}}},
      {"dates in the GPS IFD do not count", Jpeg(inGps), {kNone, k180505, kNone}},
      {"type not checked",
       Jpeg(OnlyOriginal(TiffField{0x9003, 7, 20, {}, kDate, {}})),
       {kNone, k180505, kNone}},
      {"date held inside its entry", Jpeg(OnlyOriginal(AsciiWithoutNul(0x9003, "2019"))), {}},
      {"date without its NUL",
       Jpeg(OnlyOriginal(AsciiWithoutNul(0x9003, kDate))),
       {kNone, k180505, kNone}},
      {"date ending at the block end", OriginalAtBlockEnd(0), {kNone, k180505, kNone}},
      {"date one character past the block end", OriginalAtBlockEnd(1), {}},
      {"date ten characters past the block end", OriginalAtBlockEnd(10), {}},
      {"Exif in APP5", JpegBuilder().Exif(sampleTiff, 0xE5).Build(kCaseFileSize), SampleDates()},
      {"Exif payload without its NUL",
       JpegBuilder()
           .Segment(0xE1, Concat({'E', 'x', 'i', 'f', 'X', 0}, sampleTiff))
           .Build(kCaseFileSize),
       {}},
      {"thumbnail in the Exif segment does not end the walk",
       ThumbnailThenLaterSegment(),
       {k180505, kOther, k180502}},
      {"IFD0 linked to itself", SelfLinkedIfd0(), SampleDates()},
      {"segment of length 1 before Exif",
       JpegBuilder().Raw({0xFF, 0xE1, 0x00, 0x01}).Exif(sampleTiff).Build(kCaseFileSize),
       SampleDates()},
      {"Exif segment after the end of image",
       Padded(Concat(Concat({0xFF, 0xD8, 0xFF, 0xD9}, exifSegment), {0xFF, 0xD9})),
       {}},
      {"Exif segment cut off by the end of file",
       Concat(Padded({0xFF, 0xD8}), Bytes(exifSegment.begin(), exifSegment.end() - 1)),
       {}},
      {"big-endian TIFF file with an embedded Exif segment",
       Padded(Concat(BuildTiff(TiffLayout{ByteOrder::kMotorola, {}, {}, {}, true, true}).bytes,
                     exifSegment)),
       SampleDates()},
      {"little-endian TIFF file whose own IFDs hold dates", Padded(sampleTiff), {}},
  };
}
