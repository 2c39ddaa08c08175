// The Exif reader on bytes: TIFF entries and links, JPEG markers, damaged and known files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "exif/exif_date.h"
#include "exif/jpeg_walker.h"
#include "exif/tiff_walker.h"
#include "tests/support/jpeg_builder.h"

using namespace std::string_literals;

namespace {

using Texts = std::vector<std::string>;
const std::string kDate = "2019:07:04 18:30:05", kOriginal = "2019:07:04 18:30:01",
                  kDigitized = "2019:07:04 18:30:02", kOther = "2001:02:03 04:05:06",
                  kNo = "0000:00:00 00:00:00";
const Texts kAll = {kDate, kOriginal, kDigitized}, kNone = {kNo, kNo, kNo};

// Each entry the walker passed: its tag, where its values lie in the block, its long value.
using Entries = std::vector<std::tuple<int64_t, int64_t, int64_t>>;

Entries Walk(const Bytes& block) {
  Entries entries;
  auto note = [](uint16_t tag, const TiffEntry* e, void* entries) {
    static_cast<Entries*>(entries)->push_back({tag, e->valuePointer - e->block, e->longValue});
  };
  WalkTiffIfds(block.data(), block.size(), 0, note, &entries);
  return entries;
}

TEST(TiffWalker, PassesOnlyWhatLiesInsideTheBlockAndFollowsOnlyForwardLinks) {
  // Type, count, field of a 64-byte block's one entry (tag 7, field at 18); the entries passed.
  const std::tuple<const char*, uint16_t, uint32_t, uint32_t, Entries> rows[] = {
      {"one long held in the entry", 4, 1, 40, {{7, 18, 40}}},
      {"text ending at the block end", 2, 24, 40, {{7, 40, 0}}},
      {"text one past the block end", 2, 25, 40, {}},
      {"a rational is never held in the entry", 5, 1, 56, {{7, 56, 0}}},
      {"a rational one past the end", 5, 1, 57, {}},
      {"no values at the block length", 10, 0, 64, {}},
      {"offset 0: values from the entry's own field on", 2, 46, 0, {{7, 18, 0}}},
      {"offset 0 running past the end", 2, 47, 0, {}},
      {"count × 4 is 2^32", 4, 0x40000000, 8, {}},
      {"offset + count past 2^32", 1, 0x18, 0xFFFFFFF0, {}}};
  for (ByteOrder order : {ByteOrder::kIntel, ByteOrder::kMotorola})
    for (const auto& [name, type, count, field, entries] : rows) {
      Bytes block = BuildTiff({.order = order, .chain = {{RawField(7, type, count, field)}}});
      block.resize(64);
      EXPECT_EQ(Walk(block), entries) << name;
    }
  // Three IFDs of one entry each, tags 1 to 3, at 8, 26 and 44; the links sit 14 bytes on.
  Ifd one = {RawField(1, 1, 1, 0)}, two = {RawField(2, 1, 1, 0)}, three = {RawField(3, 1, 1, 0)};
  Bytes chain = BuildTiff({.chain = {one, two, three}});
  // The byte set (at, to; 'I' at 0 is no change), the length cut to (0: none), the tags seen.
  const std::tuple<const char*, size_t, uint8_t, size_t, std::vector<int64_t>> links[] = {
      {"the whole chain", 0, 'I', 0, {1, 2, 3}},
      {"wrong magic", 2, 43, 0, {}},
      {"header cut off", 0, 'I', 7, {}},
      {"IFD0 linked to itself", 22, 8, 0, {1}},
      {"IFD1 linked back to IFD0", 40, 8, 0, {1, 2}},
      {"IFD0 linked past IFD1", 22, 44, 0, {1, 3}},
      {"IFD2 holding one entry more than fits", 44, 2, 0, {1, 2}},
      {"IFD0's link cut off", 0, 'I', 24, {1}}};
  for (const auto& [name, at, to, cut, tags] : links) {
    // Cut in a buffer of its own, so that the sanitizer sees any read past it.
    Bytes block(chain.begin(), chain.begin() + ptrdiff_t(cut != 0 ? cut : chain.size()));
    block[at] = to;
    std::vector<int64_t> seen;
    for (const auto& entry : Walk(block))
      seen.push_back(std::get<0>(entry));
    EXPECT_EQ(seen, tags) << name;
  }
  // IFDs at 8 and 12 that overlap: each counts 0x0202 entries from a run of 02 bytes.
  Bytes overlapping = {'I', 'I', 42, 0, 8, 0, 0, 0, 2, 2, 2, 2, 2, 2};
  overlapping.resize(10 + 12 * 0x0202 + 8);
  overlapping[10 + 12 * 0x0202] = 12;
  EXPECT_LE(Walk(overlapping).size(), overlapping.size() / 12) << "overlapping IFDs";
}

// Walks the bytes, or with a classify length hands them to ClassifySegment as such a segment.
Texts Segments(const std::string& text, std::optional<size_t> classify = {}) {
  const Bytes bytes(text.begin(), text.end());
  Texts texts;
  MetadataHandlers table = {};
  table.segmentContext = &texts;
  table.segmentHandler = [](const MetadataHandlers*, SegmentKind, const uint8_t* payload,
                            size_t length, void* texts) {
    static_cast<Texts*>(texts)->emplace_back(payload, payload + std::min<size_t>(length, 64));
    return 1;
  };
  if (classify)
    ClassifySegment(0xE0, bytes.data(), *classify, &table);
  else
    WalkJpegMarkers(bytes.data(), bytes.size(), &table);
  return texts;
}

TEST(JpegWalker, ScansMarkersAndSkipsSegmentsThatDoNotFit) {
  const std::string on = "\xFF\xFE\0\4on"s; // a comment
  const std::tuple<const char*, std::string, Texts> rows[] = {
      {"stuffing, restart, start of image", "\xFF\0\xFF\xD7\xFF\xD8"s + on, {"on"}},
      {"end of image ends the walk", "\xFF\xD9" + on, {}},
      {"end of image inside a segment", "\xFF\xE1\0\4\xFF\xD9"s + on, {"\xFF\xD9", "on"}},
      {"length past the end: on after FF", "\xFF\xFE\0@a"s + on, {"on"}},
      {"length exactly to the end", "\xFF\xFE\0\3z"s, {"z"}},
      {"length one past the end", "\xFF\xFE\0\4z"s, {}},
      {"length bytes cut off", "\xFF\xFE\0"s, {}}};
  for (const auto& [name, bytes, expected] : rows)
    EXPECT_EQ(Segments(bytes), expected) << name;
  // The search for FF goes sixteen bytes at a time where it can: every offset and tail counts.
  for (size_t before = 0; before < 40; ++before)
    for (size_t after = 0; after < 18; ++after) {
      std::string bytes = std::string(before, 'Z') + "\xFF\xFE\0\3x"s + std::string(after, 'y');
      EXPECT_EQ(Segments(bytes), Texts{"x"}) << before << " " << after;
    }
  // Taken as a length of L - 2, the bytes after would be a JFIF segment.
  for (char length : {0, 1})
    EXPECT_EQ(Segments({'\0', length, 'J', 'F', 'I', 'F', 0, 1}, length), Texts{}) << int{length};
}

// The three dates as "YYYY:MM:DD HH:MM:SS", all zeros when not found.
Texts Dates(const Bytes& file) {
  DateRecord d[3] = {};
  TimesRequest request = {0, nullptr, nullptr, &d[0], &d[1], &d[2]};
  ReadExifDates(file.data(), file.size(), &request);
  Texts texts(3, std::string(19, ' ')); // snprintf's NUL goes where the string keeps its own
  for (size_t i = 0; i < 3; ++i)
    std::snprintf(texts[i].data(), 20, "%04d:%02d:%02d %02d:%02d:%02d", d[i].wYear, d[i].wMonth,
                  d[i].wDay, d[i].wHour, d[i].wMinute, d[i].wSecond);
  return texts;
}

TEST(ExifDates, FindsTheTrueDatesOrNone) {
  TiffLayout unlinked = CameraLayout(ByteOrder::kIntel, kDate, kOriginal, kDigitized),
             exifIfdLast = unlinked, inGps = unlinked;
  unlinked.exif.reset();
  exifIfdLast.order = ByteOrder::kMotorola;
  exifIfdLast.exif->push_back(Ascii(0x0132, kOther));
  inGps.gps->insert(inGps.gps->end(), {Ascii(0x0132, kOther), Ascii(0x9003, kOther)});
  // Digits after a short date, and an entry read from its own value field on, would complete it.
  TiffField atEnd = {0x9003, 2, 19, {}, kOriginal, {}}, digits = Ascii(0x9290, "20:01:02");
  TiffField shortDate = {0x9003, 2, 11, {}, "2019:05:01\0"s, {}};
  TiffField fromEntry = RawField(0x9003, 2, 19, 0),
            ones = RawField(0x3131, 0x3131, 0x31313131, 0x31313131);
  const std::tuple<const char*, TiffLayout, Texts> rows[] = {
      {"no Exif IFD pointer: no dates at all", unlinked, kNone},
      {"DateTime in the Exif IFD comes last", exifIfdLast, {kOther, kOriginal, kDigitized}},
      {"dates in the GPS IFD do not count", inGps, kAll},
      {"count 11 followed by digits", {.exif = Ifd{shortDate, digits}}, kNone},
      {"count 19 at the block end", {.exif = Ifd{atEnd}}, {kNo, kOriginal, kNo}},
      {"count 19 from the entry's own field", {.exif = Ifd{fromEntry, ones, ones}}, kNone}};
  for (const auto& [name, layout, expected] : rows)
    EXPECT_EQ(Dates(JpegBuilder().Exif(BuildTiff(layout)).Build()), expected) << name;
}

} // namespace
