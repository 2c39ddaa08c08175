#include "exif/jpeg_walker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/exif_recorder.h"
#include "tests/support/jpeg_builder.h"

namespace {

using namespace std::string_literals;
using Events = std::vector<std::string>;

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts)
    out.insert(out.end(), part.begin(), part.end());
  return out;
}

Bytes Text(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

// A comment segment, which the walker reports as text.
Bytes Comment(const std::string& text) {
  return JpegBuilder().Segment(0xFE, Text(text)).Build();
}

Events Walk(const Bytes& bytes) {
  Recorder recorder;
  WalkJpegMarkers(bytes.data(), bytes.size(), &recorder.table);
  return recorder.events;
}

struct ScanCase {
  const char* name;
  Bytes input;
  Events expected;
};

TEST(WalkJpegMarkers, ScansTheMarkerStream) {
  const ScanCase cases[] = {
      {"empty", {}, {}},
      {"no markers at all", Text("plain text, no marker"), {}},
      {"a lone FF at the end", Bytes{0x00, 0xFF}, {}},
      {"a comment", Comment("hi"), {"segment 0 hi"}},
      {"stuffed bytes and restart markers are passed over",
       Concat({Bytes{0xFF, 0x00, 0xFF, 0xD0, 0xFF, 0xD7, 0x12}, Comment("after")}),
       {"segment 0 after"}},
      {"start of image in the middle is passed over",
       Concat({Bytes{0x01, 0xFF, 0xD8, 0xFF, 0xD8}, Comment("x")}),
       {"segment 0 x"}},
      {"end of image ends the walk", Concat({Bytes{0xFF, 0xD9}, Comment("late")}), {}},
      {"end of image after a segment",
       Concat({Comment("a"), Comment("b")}),
       {"segment 0 a"}}, // Comment() carries its own end marker
      {"segments that are not application segments are not interpreted",
       JpegBuilder().Segment(0xDB, Text("table")).Segment(0xC0, Text("frame")).Build(),
       {}},
      {"marker FF starts a segment that is not interpreted",
       Concat({Bytes{0xFF, 0xFF, 0x00, 0x04, 0xFF, 0xFE}, Comment("next")}),
       {"segment 0 next"}},
      {"every marker from E0 to FE is interpreted",
       JpegBuilder()
           .Segment(0xE0, Text("app0"))
           .Segment(0xEF, Text("app15"))
           .Segment(0xF0, Text("jpg0"))
           .Segment(0xFD, Text("jpg13"))
           .Build(),
       {"segment 0 app0", "segment 0 app15", "segment 0 jpg0", "segment 0 jpg13"}},
      {"an empty payload is not reported", JpegBuilder().Segment(0xFE, {}).Build(), {}},
  };
  for (const ScanCase& c : cases)
    EXPECT_EQ(Walk(c.input), c.expected) << c.name;
}

TEST(WalkJpegMarkers, FindsAMarkerAfterAnyLengthOfData) {
  // The search for FF goes sixteen bytes at a time where it can; every offset and tail counts.
  for (size_t data = 0; data < 48; ++data) {
    Bytes bytes(data, 0x5A);
    Bytes segment = {0xFF, 0xFE, 0x00, 0x03, 'x'};
    bytes.insert(bytes.end(), segment.begin(), segment.end());
    EXPECT_EQ(Walk(bytes), Events{"segment 0 x"}) << data;
    for (size_t extra = 0; extra < 20; ++extra) {
      Bytes tail = bytes;
      tail.insert(tail.end(), extra, 0x11);
      EXPECT_EQ(Walk(tail), Events{"segment 0 x"}) << data << " " << extra;
    }
  }
}

TEST(WalkJpegMarkers, SkipsSegmentsThatDoNotFitOrCannotHoldTheirLength) {
  const ScanCase cases[] = {
      // The scan goes on at the byte after the FF, so a segment inside is found.
      {"length past the end",
       Concat({Bytes{0xFF, 0xFE, 0x00, 0x40, 'a'}, Comment("inner")}),
       {"segment 0 inner"}},
      {"length bytes cut off", Bytes{0xFF, 0xFE, 0x00}, {}},
      {"length exactly to the end", Bytes{0xFF, 0xFE, 0x00, 0x03, 'z'}, {"segment 0 z"}},
      {"length one past the end", Bytes{0xFF, 0xFE, 0x00, 0x04, 'z'}, {}},
      {"length 0", Concat({Bytes{0xFF, 0xFE, 0x00, 0x00}, Comment("on")}), {"segment 0 on"}},
      {"length 1", Concat({Bytes{0xFF, 0xE1, 0x00, 0x01}, Comment("on")}), {"segment 0 on"}},
      {"length 2 is an empty payload",
       Concat({Bytes{0xFF, 0xFE, 0x00, 0x02}, Comment("on")}),
       {"segment 0 on"}},
      {"largest length past a short buffer", Bytes{0xFF, 0xE1, 0xFF, 0xFF, 'E', 'x', 'i', 'f'}, {}},
  };
  for (const ScanCase& c : cases)
    EXPECT_EQ(Walk(c.input), c.expected) << c.name;
}

TEST(WalkJpegMarkers, NeverLooksInsideApplicationSegments) {
  // A thumbnail with its own end-of-image marker, inside an application segment and inside the
  // Exif segment's TIFF data.
  Bytes thumbnail = JpegBuilder().Scan(16).Build();
  TiffLayout layout;
  layout.chain = {{TiffField{0x0201,
                             7,
                             static_cast<uint32_t>(thumbnail.size()),
                             {},
                             std::string(thumbnail.begin(), thumbnail.end()),
                             {}}}};
  layout.exif = Ifd{Ascii(0x9003, "2019:07:04 18:30:05")};
  Bytes file = JpegBuilder()
                   .Segment(0xE4, thumbnail)
                   .Exif(BuildTiff(layout).bytes)
                   .Segment(0xFE, Text("after"))
                   .Build();
  Events events = Walk(file);
  ASSERT_EQ(events.size(), 7u);
  EXPECT_EQ(events[0].substr(0, 14), "segment 0 \\xff");
  EXPECT_EQ(events[2], "exif 0201");
  EXPECT_EQ(events[4], "exif 9003");
  EXPECT_EQ(events.back(), "segment 0 after");
}

struct KindCase {
  uint8_t marker;
  Bytes payload;
  Events expected;
};

TEST(ClassifySegment, NamesTheKindOfEachPayload) {
  const KindCase cases[] = {
      {0xE0, Text("JFIF\0x"s), {"segment 1 JFIF\\x00x"}},
      {0xE0, Text("JFIF"), {"segment 0 JFIF"}}, // too short to be JFIF: text
      {0xE2, Text("ICC_PROFILE\x01"), {"segment 3 ICC_PROFILE\\x01"}},
      {0xE2, Text("ICC_PROFILE"), {"segment 0 ICC_PROFILE"}},
      {0xEE, Text("Adobe\x01"), {"segment 2 Adobe\\x01"}},
      {0xEE, Text("Adobe"), {"segment 0 Adobe"}},
      {0xFE, Text(" "), {"segment 0  "}},
      {0xE3, Bytes{0x00, 'x'}, {"segment 4 \\x00x"}},
      {0xE3, Bytes{0x00, 0x1F}, {"segment 5 \\x00\\x1f"}},
      {0xE3, Bytes{0x00}, {"segment 5 \\x00"}},
      {0xE3, Bytes{0x1F, 'x'}, {"segment 5 \\x1fx"}},
      {0xE3, Bytes{}, {}},
      {0xE1, Text("Exif"), {"segment 0 Exif"}}, // too short to be Exif
      // An Exif payload is never reported as a segment, parsed or not.
      {0xE1, Text("ExifX\0II*\0"s), {}},
      {0xE1, Bytes{'E', 'x', 'i', 'f', 0, 0}, {}},
      {0xE1, Bytes{'E', 'x', 'i', 'f', 0}, {}},
      {0xDB, Text("text"), {}},
      {0xFF, Text("text"), {}},
  };
  for (const KindCase& c : cases) {
    Bytes segment = {static_cast<uint8_t>((c.payload.size() + 2) >> 8),
                     static_cast<uint8_t>(c.payload.size() + 2)};
    segment.insert(segment.end(), c.payload.begin(), c.payload.end());
    Recorder recorder;
    ClassifySegment(c.marker, segment.data(), segment.size(), &recorder.table);
    EXPECT_EQ(recorder.events, c.expected) << Printable(c.payload.data(), c.payload.size());
  }
}

TEST(ClassifySegment, IgnoresALengthBelowTwo) {
  // What follows would be a JFIF payload if the length were taken as P = L - 2.
  for (uint8_t length : {0, 1}) {
    Bytes segment = {0x00, length, 'J', 'F', 'I', 'F', 0, 1};
    Recorder recorder;
    ClassifySegment(0xE0, segment.data(), length, &recorder.table);
    EXPECT_EQ(recorder.events, Events{}) << int{length};
  }
}

TEST(ClassifySegment, ParsesAnExifPayloadInAnySegmentAndWithoutHandlers) {
  TiffLayout layout;
  layout.exif = Ifd{Ascii(0x9003, "2019:07:04 18:30:05")};
  Bytes tiff = BuildTiff(layout).bytes;
  for (uint8_t marker : {0xE1, 0xE0, 0xEF, 0xFE}) {
    Events events = Walk(JpegBuilder().Exif(tiff, marker).Build());
    Events expected = {"exif begin " + std::to_string(tiff.size()), "exif 8769", "exif 9003",
                       "exif end"};
    EXPECT_EQ(events, expected) << int{marker};
  }
  // A table without handlers, or no table, is a walk that reports nothing and reads safely.
  Bytes file = JpegBuilder().Jfif().Exif(tiff).Build();
  MetadataHandlers empty = {};
  WalkJpegMarkers(file.data(), file.size(), &empty);
  WalkJpegMarkers(file.data(), file.size(), nullptr);
  WalkJpegMarkers(nullptr, 10, nullptr);
}

TEST(ClassifySegment, ReportsPhotoshopPayloadsWithoutIptcAsSegments) {
  Bytes noIptc = PhotoshopPayload({{0x03ED, "", {1, 2, 3, 4}}});
  Events events = Walk(JpegBuilder().Segment(0xED, noIptc).Build());
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].substr(0, 23), "segment 0 Photoshop 3.0");

  Bytes withIptc = PhotoshopPayload({{0x0404, "", IptcBlock({{2, 5, "title"}})}});
  Events expected = {"iptc begin 10", "iptc 2:5 title", "iptc end"};
  EXPECT_EQ(Walk(JpegBuilder().Segment(0xED, withIptc).Build()), expected);
}

} // namespace
