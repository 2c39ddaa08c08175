#include "exif/tiff_walker.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/exif_recorder.h"
#include "tests/support/jpeg_builder.h"

namespace {

using Events = std::vector<std::string>;

constexpr size_t kEntryAt = 10;     // the one entry of IFD0 at offset 8
constexpr size_t kFieldAt = 18;     // its value field
constexpr size_t kBlockLength = 64; // room for values after the IFD

// Header, IFD0 at 8 with a single entry, a zero next link, zeros to the given length.
Bytes OneEntryBlock(ByteOrder order, uint16_t type, uint32_t count, uint32_t field,
                    size_t length = kBlockLength) {
  TiffLayout layout;
  layout.order = order;
  layout.chain = {{RawField(0x1234, type, count, field)}};
  Bytes block = BuildTiff(layout).bytes;
  block.resize(length, 0);
  return block;
}

// What a visitor saw, with pointers as offsets in the block.
struct SeenEntry {
  int16_t byteOrder;
  uint16_t tag;
  int16_t elementSize;
  uint32_t valueOffset;
  size_t valueAt;
  uint32_t longValue;
};

struct Seen {
  const uint8_t* block;
  std::vector<SeenEntry> entries;
  std::vector<uint16_t> tags;
};

void Note(uint16_t tag, const TiffEntry* entry, void* context) {
  auto* seen = static_cast<Seen*>(context);
  seen->tags.push_back(tag);
  seen->entries.push_back({entry->byteOrder, entry->tag, entry->elementSize, entry->valueOffset,
                           static_cast<size_t>(entry->valuePointer - seen->block),
                           entry->longValue});
}

Seen WalkFrom(const Bytes& block, uint32_t start = 0) {
  Seen seen = {block.data(), {}, {}};
  WalkTiffIfds(block.data(), block.size(), start, Note, &seen);
  return seen;
}

struct EntryCase {
  const char* name;
  uint16_t type;
  uint32_t count;
  uint32_t field;
  // Expected when the entry is passed: element size, value offset, where the values are.
  std::optional<SeenEntry> expected;
};

SeenEntry Passed(int16_t elementSize, uint32_t valueOffset, size_t valueAt,
                 uint32_t longValue = 0) {
  return SeenEntry{0, 0x1234, elementSize, valueOffset, valueAt, longValue};
}

TEST(WalkTiffIfds, DecodesEntriesAndKeepsEveryValueInsideTheBlock) {
  const EntryCase cases[] = {
      {"four bytes inline", 1, 4, 0x04030201, Passed(1, 0, kFieldAt)},
      {"two shorts inline", 3, 2, 0x00020001, Passed(2, 0, kFieldAt)},
      {"one long inline", 4, 1, 40, Passed(4, 0, kFieldAt, 40)},
      {"a long with count 0 still has a long value", 4, 0, 40, Passed(4, 0, kFieldAt, 40)},
      {"two longs at an offset", 4, 2, 40, Passed(4, 40, 40)},
      {"an slong has no long value", 9, 1, 40, Passed(4, 0, kFieldAt)},
      {"text ending at the block end", 2, 24, 40, Passed(1, 40, 40)},
      {"text one past the block end", 2, 25, 40, std::nullopt},
      {"text of four bytes is inline", 2, 4, 60, Passed(1, 0, kFieldAt)},
      {"a rational is never inline", 5, 1, 56, Passed(8, 56, 56)},
      {"a rational one past the end", 5, 1, 57, std::nullopt},
      {"a rational with count 0 at the end", 10, 0, 63, Passed(8, 63, 63)},
      {"an offset at the block length", 10, 0, 64, std::nullopt},
      {"unknown types count one byte each", 7, 4, 0, Passed(1, 0, kFieldAt)},
      {"type 13 too", 13, 3, 0, Passed(1, 0, kFieldAt)},
      // Offset 0 leaves the values at the entry's field: they must fit from there.
      {"offset 0 with room after the field", 9, 2, 0, Passed(4, 0, kFieldAt)},
      {"offset 0 running past the end", 2, 47, 0, std::nullopt},
      {"offset 0 ending at the end", 2, 46, 0, Passed(1, 0, kFieldAt)},
      // Products and sums that would wrap in 32 bits.
      {"long count × 4 = 2^32", 4, 0x40000000, 8, std::nullopt},
      {"short count × 2 = 2^32 is not inline", 3, 0x80000000, 8, std::nullopt},
      {"rational count × 8 = 2^32", 5, 0x20000000, 8, std::nullopt},
      {"slong count × 4 = 2^32 + 4", 9, 0x40000001, 8, std::nullopt},
      {"largest count", 1, 0xFFFFFFFF, 8, std::nullopt},
      {"offset near 2^32", 2, 0x20, 0xFFFFFFF0, std::nullopt},
      {"offset + count = 2^32 + 8", 1, 0x18, 0xFFFFFFF0, std::nullopt},
  };
  for (ByteOrder order : {ByteOrder::kIntel, ByteOrder::kMotorola}) {
    for (const EntryCase& c : cases) {
      Seen seen = WalkFrom(OneEntryBlock(order, c.type, c.count, c.field));
      if (!c.expected) {
        EXPECT_TRUE(seen.entries.empty()) << c.name;
        continue;
      }
      ASSERT_EQ(seen.entries.size(), 1u) << c.name;
      const SeenEntry& entry = seen.entries[0];
      EXPECT_EQ(entry.byteOrder, order == ByteOrder::kMotorola ? 1 : 0) << c.name;
      EXPECT_EQ(entry.tag, 0x1234) << c.name;
      EXPECT_EQ(entry.elementSize, c.expected->elementSize) << c.name;
      EXPECT_EQ(entry.valueOffset, c.expected->valueOffset) << c.name;
      EXPECT_EQ(entry.valueAt, c.expected->valueAt) << c.name;
      EXPECT_EQ(entry.longValue, c.expected->longValue) << c.name;
    }
  }
}

TEST(WalkTiffIfds, PassesTheEntryBytesAndTypeAsWritten) {
  Bytes block = OneEntryBlock(ByteOrder::kMotorola, 4, 2, 40);
  struct Captured {
    const uint8_t* block;
    TiffEntry entry;
  } captured = {block.data(), {}};
  WalkTiffIfds(
      block.data(), block.size(), 0,
      [](uint16_t, const TiffEntry* entry, void* context) {
        static_cast<Captured*>(context)->entry = *entry;
      },
      &captured);
  EXPECT_EQ(captured.entry.entryBytes, block.data() + kEntryAt);
  EXPECT_EQ(captured.entry.type, 4);
  EXPECT_EQ(captured.entry.count, 2u);
  EXPECT_EQ(captured.entry.block, block.data());
  EXPECT_EQ(captured.entry.blockLength, block.size());
}

// A header with its first IFD at the given offset, and the block filled to length.
Bytes HeaderOnly(uint32_t firstIfd, size_t length, uint16_t magic = 42, char order = 'I') {
  Bytes block = {static_cast<uint8_t>(order), static_cast<uint8_t>(order)};
  block.resize(length, 0);
  ByteOrder byteOrder = order == 'M' ? ByteOrder::kMotorola : ByteOrder::kIntel;
  Bytes magicBytes(2);
  if (byteOrder == ByteOrder::kMotorola)
    magicBytes = {static_cast<uint8_t>(magic >> 8), static_cast<uint8_t>(magic)};
  else
    magicBytes = {static_cast<uint8_t>(magic), static_cast<uint8_t>(magic >> 8)};
  block[2] = magicBytes[0];
  block[3] = magicBytes[1];
  if (length >= 8)
    PutU32(block, 4, firstIfd, byteOrder);
  return block;
}

TEST(WalkTiffIfds, StopsAtABadHeaderOrAnIfdThatDoesNotFit) {
  Bytes good = OneEntryBlock(ByteOrder::kIntel, 1, 1, 0);
  ASSERT_EQ(WalkFrom(good).entries.size(), 1u);

  Bytes fits = HeaderOnly(8, 64);
  fits[8] = 1; // one entry at 10, next link at 22
  EXPECT_EQ(WalkFrom(fits).entries.size(), 1u);

  struct Case {
    const char* name;
    Bytes block;
  };
  Bytes hugeCount = HeaderOnly(8, 100);
  hugeCount[8] = hugeCount[9] = 0xFF;
  Bytes oneTooMany = HeaderOnly(8, 100);
  oneTooMany[8] = 8; // 8 + 2 + 96 = 106 > 100
  const Case cases[] = {
      {"eight bytes are too few", Bytes(good.begin(), good.begin() + 8)},
      {"wrong magic", HeaderOnly(8, 64, 43)},
      {"mixed byte order mark",
       [] {
         Bytes block = HeaderOnly(8, 64);
         block[1] = 'M';
         return block;
       }()},
      {"first IFD at 0", HeaderOnly(0, 64)},
      {"first IFD at the end", HeaderOnly(64, 64)},
      {"first IFD one byte before the end", HeaderOnly(63, 64)},
      {"first IFD near 2^32", HeaderOnly(0xFFFFFFFE, 64)},
      {"first IFD at 2^32 - 1", HeaderOnly(0xFFFFFFFF, 64)},
      {"entry count past the end", hugeCount},
      {"one entry more than fits", oneTooMany},
  };
  for (const Case& c : cases)
    EXPECT_TRUE(WalkFrom(c.block).entries.empty()) << c.name;
  WalkTiffIfds(nullptr, 100, 0, Note, nullptr);
}

// Three IFDs of one entry each (tags 1, 2, 3), linked forward.
BuiltTiff ThreeIfds(ByteOrder order) {
  TiffLayout layout;
  layout.order = order;
  layout.chain = {{Short(1, 0)}, {Short(2, 0)}, {Short(3, 0)}};
  return BuildTiff(layout);
}

TEST(WalkTiffIfds, FollowsOnlyForwardLinksInsideTheBlock) {
  for (ByteOrder order : {ByteOrder::kIntel, ByteOrder::kMotorola}) {
    BuiltTiff tiff = ThreeIfds(order);
    const std::vector<uint32_t>& at = tiff.chainOffsets;
    ASSERT_EQ(at.size(), 3u);
    EXPECT_EQ(WalkFrom(tiff.bytes).tags, (std::vector<uint16_t>{1, 2, 3}));
    EXPECT_EQ(WalkFrom(tiff.bytes, at[1]).tags, (std::vector<uint16_t>{2, 3}));

    struct Case {
      const char* name;
      size_t ifd;
      uint32_t next;
      std::vector<uint16_t> expected;
    };
    const Case cases[] = {
        {"IFD0 links to itself", 0, at[0], {1}},
        {"IFD1 links to itself", 1, at[1], {1, 2}},
        {"IFD2 links back to IFD0", 2, at[0], {1, 2, 3}},
        {"IFD1 links back to IFD0", 1, at[0], {1, 2}},
        {"IFD0 skips IFD1", 0, at[2], {1, 3}},
        {"IFD0 links to the block end", 0, static_cast<uint32_t>(tiff.bytes.size()), {1}},
        {"IFD0 links past the end", 0, static_cast<uint32_t>(tiff.bytes.size() + 1), {1}},
        {"IFD0 links near 2^32", 0, 0xFFFFFFFF, {1}},
        {"IFD2 links to one byte before the end",
         2,
         static_cast<uint32_t>(tiff.bytes.size() - 1),
         {1, 2, 3}},
    };
    for (const Case& c : cases) {
      Bytes block = tiff.bytes;
      PutU32(block, NextLinkAt(block, at[c.ifd], order), c.next, order);
      EXPECT_EQ(WalkFrom(block).tags, c.expected) << c.name;
    }
  }
}

TEST(WalkTiffIfds, StopsWhenTheNextLinkIsCutOff) {
  BuiltTiff tiff = ThreeIfds(ByteOrder::kIntel);
  size_t linkAt = NextLinkAt(tiff.bytes, tiff.chainOffsets[0], ByteOrder::kIntel);
  for (size_t cut = linkAt; cut < linkAt + 4; ++cut) {
    Bytes block(tiff.bytes.begin(), tiff.bytes.begin() + static_cast<ptrdiff_t>(cut));
    EXPECT_EQ(WalkFrom(block).tags, (std::vector<uint16_t>{1})) << cut;
  }
}

// IFDs at 8, 12, 16, ... whose counts all read 0x0202 from a run of 02 bytes, each linked to the
// next by a pointer far behind the run: every IFD overlaps the others.
Bytes OverlappingChain(size_t ifds) {
  constexpr uint16_t kCount = 0x0202;
  size_t run = 4 * ifds + 2;
  size_t pointersAt = 8 + 2 + 12 * kCount;
  Bytes block = HeaderOnly(8, pointersAt + 4 * ifds + 4);
  std::fill(block.begin() + 8, block.begin() + static_cast<ptrdiff_t>(8 + run), 0x02);
  for (size_t i = 0; i < ifds; ++i)
    PutU32(block, pointersAt + 4 * i, static_cast<uint32_t>(8 + 4 * (i + 1)), ByteOrder::kIntel);
  return block;
}

TEST(WalkTiffIfds, VisitsNoMoreEntriesThanTheBlockCanHold) {
  Bytes block = OverlappingChain(1000);
  ASSERT_LT(4 * 1000 + 10, 8 + 2 + 12 * 0x0202) << "the run must end before the pointers";
  size_t visits = 0;
  WalkTiffIfds(
      block.data(), block.size(), 0,
      [](uint16_t, const TiffEntry*, void* context) { ++*static_cast<size_t*>(context); }, &visits);
  // Unbounded, the walk passed some 350,000 entries here, revisiting the same bytes.
  EXPECT_GT(visits, 0u);
  EXPECT_LE(visits, block.size() / 12);
}

Events Parse(const Bytes& block, Recorder& recorder) {
  ParseExifBlock(&recorder.table, block.data(), block.size());
  return recorder.events;
}

Events Parse(const Bytes& block) {
  Recorder recorder;
  return Parse(block, recorder);
}

TEST(ParseExifBlock, ReportsIfd0ChainThenExifThenGps) {
  BuiltTiff tiff = BuildTiff(CameraLayout(ByteOrder::kMotorola, "2019:07:04 18:30:05",
                                          "2019:07:04 18:30:06", "2019:07:04 18:30:07"));
  Events expected = {"exif begin " + std::to_string(tiff.bytes.size()),
                     "exif 010f",
                     "exif 0112",
                     "exif 011a",
                     "exif 0132",
                     "exif 8769",
                     "exif 8825",
                     "exif 0103",
                     "exif 0201",
                     "exif 0202",
                     "exif 829a",
                     "exif 9003",
                     "exif 9004",
                     "exif 9000",
                     "gps 0000",
                     "gps 0001",
                     "gps 0002",
                     "exif end"};
  EXPECT_EQ(Parse(tiff.bytes), expected);

  Recorder noGps;
  noGps.table.gpsTag = nullptr;
  Events withoutGps = Parse(tiff.bytes, noGps);
  EXPECT_EQ(withoutGps.size(), expected.size() - 3);
  EXPECT_EQ(withoutGps.back(), "exif end");
}

TEST(ParseExifBlock, ReportsNothingWithoutAnExifIfdPointer) {
  TiffLayout unlinked = CameraLayout(ByteOrder::kIntel, "2019:07:04 18:30:05",
                                     "2019:07:04 18:30:06", "2019:07:04 18:30:07");
  unlinked.linkExif = false;
  EXPECT_EQ(Parse(BuildTiff(unlinked).bytes), Events{});

  TiffLayout zero;
  zero.chain = {{Ascii(0x0132, "2019:07:04 18:30:05"), Long(0x8769, 0)}};
  EXPECT_EQ(Parse(BuildTiff(zero).bytes), Events{});

  // The pointer is read as a long value: a short or a list of longs is not one.
  TiffLayout asShort;
  asShort.chain = {{Short(0x8769, 8)}};
  EXPECT_EQ(Parse(BuildTiff(asShort).bytes), Events{});

  // A later pointer of 0 overwrites an earlier good one.
  TiffLayout overwritten;
  overwritten.exif = Ifd{Ascii(0x9003, "2019:07:04 18:30:05")};
  overwritten.chain = {{}, {Long(0x8769, 0)}};
  EXPECT_EQ(Parse(BuildTiff(overwritten).bytes), Events{});
}

TEST(ParseExifBlock, TakesThePointerFromAnIfdLaterInTheChain) {
  TiffLayout layout;
  layout.exif = Ifd{Ascii(0x9003, "2019:07:04 18:30:05")};
  layout.linkExif = false;
  layout.chain = {{Short(1, 0)}, {Long(0x8769, 0)}};
  // Same sizes with the right pointer value, so the Exif IFD stays where it was.
  layout.chain[1][0].numbers = {BuildTiff(layout).exifOffset};
  BuiltTiff tiff = BuildTiff(layout);
  Events expected = {"exif begin " + std::to_string(tiff.bytes.size()), "exif 0001", "exif 8769",
                     "exif 9003", "exif end"};
  EXPECT_EQ(Parse(tiff.bytes), expected);
}

TEST(ParseExifBlock, HonoursTheHandlerTable) {
  Bytes tiff = BuildTiff(CameraLayout(ByteOrder::kIntel, "2019:07:04 18:30:05",
                                      "2019:07:04 18:30:06", "2019:07:04 18:30:07"))
                   .bytes;
  Recorder refuses;
  refuses.beginResult = 0;
  EXPECT_EQ(Parse(tiff, refuses), Events{"exif begin " + std::to_string(tiff.size())});

  void (*const removals[])(MetadataHandlers&) = {
      [](MetadataHandlers& table) { table.exifBegin = nullptr; },
      [](MetadataHandlers& table) { table.exifTag = nullptr; },
      [](MetadataHandlers& table) { table.exifEnd = nullptr; },
  };
  for (auto remove : removals) {
    Recorder incomplete;
    remove(incomplete.table);
    EXPECT_EQ(Parse(tiff, incomplete), Events{});
  }
  ParseExifBlock(nullptr, tiff.data(), tiff.size());
}

} // namespace
