// The Exif reader on bytes: TIFF entries and links, JPEG markers, damaged and known files.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "exif/exif_date.h"
#include "exif/jpeg_walker.h"
#include "exif/tiff_walker.h"
#include "tests/support/jpeg_builder.h"

namespace {

using Texts = std::vector<std::string>;
const std::string kDate = "2019:07:04 18:30:05", kOriginal = "2019:07:04 18:30:01",
                  kDigitized = "2019:07:04 18:30:02", kOther = "2001:02:03 04:05:06",
                  kNo = "0000:00:00 00:00:00";
const Texts kAll = {kDate, kOriginal, kDigitized}, kNone = {kNo, kNo, kNo};

// Exactly the bytes wanted, so that the sanitizer sees any read past them.
Bytes Cut(const Bytes& bytes, size_t length) {
  return Bytes(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(length));
}

TiffLayout Layout(const std::vector<Ifd>& chain, std::optional<Ifd> exif = {},
                  ByteOrder order = ByteOrder::kIntel) {
  return {order, chain, exif, {}, true};
}

Bytes Jpeg(const TiffLayout& layout) {
  return JpegBuilder().Exif(BuildTiff(layout).bytes).Build();
}

// Each entry the walker passed: its tag, where its values lie in the block, its long value.
using Entries = std::vector<std::array<int64_t, 3>>;

Entries Walk(const Bytes& block) {
  std::pair<const uint8_t*, Entries> walked = {block.data(), {}};
  auto note = [](uint16_t tag, const TiffEntry* entry, void* context) {
    auto* walked = static_cast<std::pair<const uint8_t*, Entries>*>(context);
    walked->second.push_back({tag, entry->valuePointer - walked->first, entry->longValue});
  };
  WalkTiffIfds(block.data(), block.size(), 0, note, &walked);
  return walked.second;
}

TEST(TiffWalker, PassesAnEntryOnlyWhenItsValuesLieInsideTheBlock) {
  constexpr int64_t kInEntry = 18, kRefused = -1; // IFD0's first value field
  // Type, count and value field of the one entry of a 64-byte block; where its values are found.
  const std::tuple<const char*, uint16_t, uint32_t, uint32_t, int64_t, int64_t> rows[] = {
      {"one long held in the entry", 4, 1, 40, kInEntry, 40},
      {"text ending at the block end", 2, 24, 40, 40, 0},
      {"text one past the block end", 2, 25, 40, kRefused, 0},
      {"a rational is never held in the entry", 5, 1, 56, 56, 0},
      {"a rational one past the end", 5, 1, 57, kRefused, 0},
      {"no values at the block length", 10, 0, 64, kRefused, 0},
      {"offset 0: values from the entry's own field on", 2, 46, 0, kInEntry, 0},
      {"offset 0 running past the end", 2, 47, 0, kRefused, 0},
      {"count × 4 is 2^32", 4, 0x40000000, 8, kRefused, 0},
      {"offset + count past 2^32", 1, 0x18, 0xFFFFFFF0, kRefused, 0},
  };
  for (ByteOrder order : {ByteOrder::kIntel, ByteOrder::kMotorola}) {
    for (auto [name, type, count, field, valuesAt, longValue] : rows) {
      Bytes block = BuildTiff(Layout({{RawField(0x1234, type, count, field)}}, {}, order)).bytes;
      block.resize(64);
      EXPECT_EQ(Walk(block), (valuesAt < 0 ? Entries{} : Entries{{0x1234, valuesAt, longValue}}))
          << name;
    }
  }
}

TEST(TiffWalker, FollowsOnlyForwardLinksAndStopsAtWhatDoesNotFit) {
  // Three IFDs of one entry each, tags 1 to 3, at 8, 26 and 44; the links sit 14 bytes on.
  Ifd one = {RawField(1, 1, 1, 0)}, two = {RawField(2, 1, 1, 0)}, three = {RawField(3, 1, 1, 0)};
  Bytes chain = BuildTiff(Layout({one, two, three})).bytes;
  // The byte set (at, to; 'I' at 0 is no change), the length cut to (0: none), the tags seen.
  const std::tuple<const char*, size_t, uint8_t, size_t, std::vector<int64_t>> rows[] = {
      {"the whole chain", 0, 'I', 0, {1, 2, 3}},
      {"wrong magic", 2, 43, 0, {}},
      {"header cut off", 0, 'I', 7, {}},
      {"IFD0 linked to itself", 22, 8, 0, {1}},
      {"IFD1 linked back to IFD0", 40, 8, 0, {1, 2}},
      {"IFD0 linked past IFD1", 22, 44, 0, {1, 3}},
      {"IFD2 holding one entry more than fits", 44, 2, 0, {1, 2}},
      {"IFD0's link cut off", 0, 'I', 24, {1}},
  };
  for (const auto& [name, at, to, cut, tags] : rows) {
    Bytes block = chain;
    block[at] = to;
    std::vector<int64_t> seen;
    for (const auto& entry : Walk(cut != 0 ? Cut(block, cut) : block))
      seen.push_back(entry[0]);
    EXPECT_EQ(seen, tags) << name;
  }
  // IFDs at 8, 12, 16, ... overlap: each counts 0x0202 entries from a run of 02 bytes and links
  // to the next through a pointer behind them all.
  constexpr size_t kIfds = 8, kLinksAt = 10 + 12 * 0x0202;
  Bytes overlapping = BuildTiff(Layout({})).bytes;
  overlapping.resize(kLinksAt + 4 * kIfds + 4);
  std::fill(overlapping.begin() + 8, overlapping.begin() + 10 + 4 * kIfds, 2);
  for (uint32_t i = 1; i <= kIfds; ++i)
    overlapping[kLinksAt + 4 * (i - 1)] = static_cast<uint8_t>(8 + 4 * i);
  EXPECT_LE(Walk(overlapping).size(), overlapping.size() / 12) << "overlapping IFDs";
}

// Walks the bytes, or with a classify length hands them to ClassifySegment as such a segment.
Texts Segments(const Bytes& bytes, std::optional<size_t> classify = {}) {
  Texts texts;
  MetadataHandlers table = {};
  table.segmentHandler = [](const MetadataHandlers*, SegmentKind, const uint8_t* payload,
                            size_t length, void* texts) {
    static_cast<Texts*>(texts)->emplace_back(payload, payload + std::min<size_t>(length, 64));
    return 1;
  };
  table.segmentContext = &texts;
  if (classify)
    ClassifySegment(0xE0, bytes.data(), *classify, &table);
  else
    WalkJpegMarkers(bytes.data(), bytes.size(), &table);
  return texts;
}

TEST(JpegWalker, ScansMarkersAndSkipsSegmentsThatDoNotFit) {
  auto then = [](Bytes bytes) {
    bytes.insert(bytes.end(), {0xFF, 0xFE, 0x00, 0x04, 'o', 'n'});
    return bytes;
  };
  const std::tuple<const char*, Bytes, Texts> rows[] = {
      {"a comment", then({0xFF, 0xD8}), {"on"}},
      {"stuffing, restart, start of image", then({0xFF, 0, 0xFF, 0xD7, 0xFF, 0xD8}), {"on"}},
      {"end of image ends the walk", then({0xFF, 0xD9}), {}},
      {"end of image inside a segment", then({0xFF, 0xE1, 0, 4, 0xFF, 0xD9}), {"\xFF\xD9", "on"}},
      {"length past the end: on after FF", then({0xFF, 0xFE, 0, 0x40, 'a'}), {"on"}},
      {"length exactly to the end", {0xFF, 0xFE, 0, 3, 'z'}, {"z"}},
      {"length one past the end", {0xFF, 0xFE, 0, 4, 'z'}, {}},
      {"length bytes cut off", {0xFF, 0xFE, 0}, {}},
  };
  for (const auto& [name, bytes, expected] : rows)
    EXPECT_EQ(Segments(bytes), expected) << name;
  // The search for FF goes sixteen bytes at a time where it can: every offset and tail counts.
  for (size_t before = 0; before < 40; ++before) {
    for (size_t after = 0; after < 18; ++after) {
      Bytes bytes(before, 0x5A);
      bytes.insert(bytes.end(), {0xFF, 0xFE, 0x00, 0x03, 'x'});
      bytes.resize(bytes.size() + after, 0x11);
      EXPECT_EQ(Segments(Cut(bytes, bytes.size())), Texts{"x"}) << before << " " << after;
    }
  }
  // Taken as a length of L - 2, the bytes after would be a JFIF segment.
  for (uint8_t length : {0, 1})
    EXPECT_EQ(Segments({0, length, 'J', 'F', 'I', 'F', 0, 1}, length), Texts{}) << int{length};
}

// The three dates as "YYYY:MM:DD HH:MM:SS", all zeros when not found.
Texts Dates(const Bytes& file) {
  DateRecord dates[3] = {};
  TimesRequest request = {0, nullptr, nullptr, &dates[0], &dates[1], &dates[2]};
  ReadExifDates(file.data(), file.size(), &request);
  Texts texts;
  for (const DateRecord& d : dates) {
    char text[40];
    std::snprintf(text, sizeof(text), "%04d:%02d:%02d %02d:%02d:%02d", d.wYear, d.wMonth, d.wDay,
                  d.wHour, d.wMinute, d.wSecond);
    texts.push_back(text);
  }
  return texts;
}

TEST(ExifDates, FindsTheTrueDatesOrNone) {
  TiffLayout unlinked = CameraLayout(ByteOrder::kIntel, kDate, kOriginal, kDigitized),
             exifIfdLast = unlinked, inGps = unlinked;
  unlinked.linkExif = false;
  exifIfdLast.order = ByteOrder::kMotorola;
  exifIfdLast.exif->push_back(Ascii(0x0132, kOther));
  inGps.gps->insert(inGps.gps->end(), {Ascii(0x0132, kOther), Ascii(0x9003, kOther)});
  TiffField inEntry = {0x9003, 2, 4, {}, "2019", {}}, other = Ascii(0x9004, kOther);
  TiffField atEnd = {0x9003, 2, 19, {}, kOriginal, {}};
  TiffField pastEnd = {0x9003, 2, 18, {}, kOriginal.substr(0, 18), {}};
  const std::tuple<const char*, Bytes, Texts> rows[] = {
      {"no Exif IFD pointer: no dates at all", Jpeg(unlinked), kNone},
      {"DateTime in the Exif IFD comes last", Jpeg(exifIfdLast), {kOther, kOriginal, kDigitized}},
      {"dates in the GPS IFD do not count", Jpeg(inGps), kAll},
      // The text of the next date follows the entry, so there are 19 characters to read.
      {"date held inside its entry", Jpeg(Layout({}, Ifd{inEntry, other})), {kNo, kNo, kOther}},
      {"date ending at the block end", Jpeg(Layout({}, Ifd{atEnd})), {kNo, kOriginal, kNo}},
      {"date a character past the end", Jpeg(Layout({}, Ifd{pastEnd})), kNone},
  };
  for (const auto& [name, file, expected] : rows)
    EXPECT_EQ(Dates(file), expected) << name;
  // Every cut of a camera's TIFF block gives true dates or none.
  for (ByteOrder order : {ByteOrder::kIntel, ByteOrder::kMotorola}) {
    Bytes tiff = BuildTiff(CameraLayout(order, kDate, kOriginal, kDigitized)).bytes;
    for (size_t cut = 0; cut <= tiff.size(); ++cut) {
      // The segment fits, and the block ends where the file does.
      Bytes file = JpegBuilder().Exif(Cut(tiff, cut)).Build();
      Texts dates = Dates(Cut(file, file.size() - 2));
      for (size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(dates[i] == kAll[i] || dates[i] == kNo) << cut << ": " << dates[i];
      EXPECT_TRUE(cut < tiff.size() || dates == kAll);
    }
  }
}

} // namespace
