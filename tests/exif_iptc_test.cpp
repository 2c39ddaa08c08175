#include "exif/iptc_walker.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/exif_recorder.h"
#include "tests/support/jpeg_builder.h"

namespace {

using Events = std::vector<std::string>;

// Where the IPTC data was found, as text of the payload at that place.
std::optional<std::string> Found(const Bytes& payload) {
  size_t offset = 99999;
  size_t length = 99999;
  if (!FindIptcResource(payload.data(), payload.size(), &offset, &length))
    return std::nullopt;
  EXPECT_LE(offset + length, payload.size());
  return std::string(payload.begin() + static_cast<ptrdiff_t>(offset),
                     payload.begin() + static_cast<ptrdiff_t>(offset + length));
}

Bytes Data(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

TEST(FindIptcResource, WalksResourcesWithNamesAndOddLengths) {
  struct Case {
    const char* name;
    std::vector<PhotoshopResource> resources;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {"alone", {{0x0404, "", Data("iptc")}}, "iptc"},
      {"odd length", {{0x0404, "", Data("odd")}}, "odd"},
      {"after an odd resource", {{0x03ED, "", Data("abc")}, {0x0404, "", Data("iptc")}}, "iptc"},
      {"after an odd name", {{0x03ED, "x", Data("ab")}, {0x0404, "", Data("iptc")}}, "iptc"},
      {"after an even name", {{0x03ED, "xy", Data("ab")}, {0x0404, "IPTC", Data("iptc")}}, "iptc"},
      {"named itself", {{0x0404, "IPTC data", Data("abcde")}}, "abcde"},
      {"the first of two", {{0x0404, "", Data("one")}, {0x0404, "", Data("two")}}, "one"},
      {"empty data", {{0x0404, "", Data("")}}, ""},
      {"not there", {{0x03ED, "", Data("abcd")}, {0x0405, "", Data("efgh")}}, std::nullopt},
      {"no resources", {}, std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Found(PhotoshopPayload(c.resources)), c.expected) << c.name;
}

TEST(FindIptcResource, NeverYieldsDataPastThePayload) {
  Bytes good = PhotoshopPayload({{0x03ED, "ab", Data("xyz")}, {0x0404, "n", Data("iptc!")}});
  ASSERT_EQ(Found(good), "iptc!");
  // Every shorter payload either finds all of the data or nothing.
  for (size_t cut = 0; cut < good.size(); ++cut) {
    Bytes payload(good.begin(), good.begin() + static_cast<ptrdiff_t>(cut));
    std::optional<std::string> found = Found(payload);
    EXPECT_TRUE(!found || *found == "iptc!") << cut;
    // The last resource's data is padded to even; only that pad byte may be missing.
    EXPECT_EQ(found.has_value(), cut + 1 >= good.size()) << cut;
  }

  // Sizes that would wrap.
  for (uint32_t size : {0xFFFFFFFFu, 0xFFFFFFF0u, 0x80000000u}) {
    Bytes huge = PhotoshopPayload({{0x03ED, "", Data("ab")}, {0x0404, "", Data("ab")}});
    size_t sizeAt = 14 + 4 + 2 + 2;
    PutU32(huge, sizeAt, size, ByteOrder::kMotorola);
    EXPECT_EQ(Found(huge), std::nullopt) << size;
    PutU32(huge, sizeAt, 2, ByteOrder::kMotorola);
    PutU32(huge, sizeAt + 14, size, ByteOrder::kMotorola); // the second size
    EXPECT_EQ(Found(huge), std::nullopt) << size;
  }
  // A name whose length byte runs past the end.
  Bytes longName = PhotoshopPayload({{0x0404, "", Data("ab")}});
  longName[20] = 0xFF;
  EXPECT_EQ(Found(longName), std::nullopt);
}

TEST(FindPhotoshopIptc, TakesAnOlderPayloadWhole) {
  Bytes older = Data(std::string("Photoshop\0", 10) + "rest");
  size_t offset = 0;
  size_t length = 0;
  ASSERT_TRUE(FindPhotoshopIptc(older.data(), older.size(), &offset, &length));
  EXPECT_EQ(offset, 10u);
  EXPECT_EQ(length, 4u);
  for (const std::string& other : {std::string("Photoshop\0", 10), std::string("Photoshop"),
                                   std::string("Photoshop 2.5"), std::string("Photoshop 3.0")}) {
    Bytes payload = Data(other);
    EXPECT_FALSE(FindPhotoshopIptc(payload.data(), payload.size(), &offset, &length)) << other;
  }
}

Events WalkRecords(const Bytes& data, Recorder& recorder) {
  WalkIptcRecords(&recorder.table, data.data(), data.size());
  return recorder.events;
}

Events WalkRecords(const Bytes& data) {
  Recorder recorder;
  return WalkRecords(data, recorder);
}

TEST(WalkIptcRecords, ReportsDatasetsAndNeverReadsPastTheData) {
  struct Case {
    const char* name;
    Bytes data;
    Events expected;
  };
  Bytes two = IptcBlock({{2, 55, "20190704"}, {2, 60, "183005"}});
  const Case cases[] = {
      {"two datasets",
       two,
       {"iptc begin 24", "iptc 2:55 20190704", "iptc 2:60 183005", "iptc end"}},
      {"junk between",
       Bytes{'j', 0x1C, 2, 5, 0, 1, 'a', 'k', 0x1C, 2, 6, 0, 1, 'b'},
       {"iptc begin 14", "iptc 2:5 a", "iptc 2:6 b", "iptc end"}},
      {"length 0 moves on one byte",
       Bytes{0x1C, 2, 5, 0, 0, 0x1C, 1, 1, 0, 1, 'z'},
       {"iptc begin 11", "iptc 1:1 z", "iptc end"}},
      {"extended length is not read",
       Bytes{0x1C, 2, 5, 0x80, 2, 0, 4},
       {"iptc begin 7", "iptc end"}},
      {"data one past the end", Bytes{0x1C, 2, 5, 0, 3, 'a', 'b'}, {"iptc begin 7", "iptc end"}},
      {"data to the end",
       Bytes{0x1C, 2, 5, 0, 2, 'a', 'b'},
       {"iptc begin 7", "iptc 2:5 ab", "iptc end"}},
      {"header cut off", Bytes{'x', 0x1C, 2, 5, 0}, {"iptc begin 5", "iptc end"}},
      {"a marker inside data is data",
       Bytes{0x1C, 2, 5, 0, 5, 0x1C, 2, 6, 0, 0},
       {"iptc begin 10", "iptc 2:5 \\x1c\\x02\\x06\\x00\\x00", "iptc end"}},
      {"empty", Bytes{}, {"iptc begin 0", "iptc end"}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(WalkRecords(c.data), c.expected) << c.name;
}

TEST(WalkIptcRecords, RunsOnlyWithAllThreeHandlers) {
  Bytes data = IptcBlock({{2, 5, "t"}});
  Recorder refuses;
  refuses.beginResult = 0;
  EXPECT_EQ(WalkRecords(data, refuses), Events{"iptc begin 6"});
  void (*const removals[])(MetadataHandlers&) = {
      [](MetadataHandlers& table) { table.iptcBegin = nullptr; },
      [](MetadataHandlers& table) { table.iptcDataset = nullptr; },
      [](MetadataHandlers& table) { table.iptcEnd = nullptr; },
  };
  for (auto remove : removals) {
    Recorder incomplete;
    remove(incomplete.table);
    EXPECT_EQ(WalkRecords(data, incomplete), Events{});
  }
  WalkIptcRecords(nullptr, data.data(), data.size());
}

} // namespace
