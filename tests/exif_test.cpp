#include <gtest/gtest.h>

#include <ctime>
#include <cstdio>
#include <fstream>
#include <tuple>

#include "exif/jpeg_walker.h"
#include "exif/media_dates.h"
#include "tests/support/media_builder.h"

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
  // Type, count and field of a 64-byte block's one entry whose values lie outside it.
  const std::tuple<const char*, uint16_t, uint32_t, uint32_t> rows[] = {
      {"text one past the block end", 2, 25, 40},
      {"five bytes of text, one past the block end", 2, 5, 60},
      {"no values at the block length", 10, 0, 64},
      {"offset 0: values from the entry's own field on, past the end", 2, 47, 0},
      {"count × 4 is 2^32", 4, 0x40000000, 8}};
  for (const auto& [name, type, count, field] : rows) {
    Bytes block = BuildTiff({.chain = {{RawField(7, type, count, field)}}});
    block.resize(64);
    EXPECT_EQ(Walk(block), Entries{}) << name;
  }
  // Three IFDs of one SHORT each at 8, 26 and 44; the links sit 14 bytes on.
  Bytes chain = BuildTiff(
      {.chain = {{RawField(1, 3, 1, 5)}, {RawField(2, 3, 1, 5)}, {RawField(3, 3, 1, 5)}}});
  // The byte set (at, to; 'I' at 0 is no change), the length cut to (0: none), the entries seen.
  const Entries::value_type i0 = {1, 18, 0}, i1 = {2, 36, 0};
  const std::tuple<const char*, size_t, uint8_t, size_t, Entries> links[] = {
      {"wrong magic", 2, 43, 0, {}},
      {"byte order MI", 0, 'M', 0, {}},
      {"IFD0 linked to itself", 22, 8, 0, {i0}},
      {"IFD1 linked back to IFD0", 40, 8, 0, {i0, i1}},
      {"IFD2 holding one entry more than fits", 44, 2, 0, {i0, i1}},
      {"IFD0's link cut off", 0, 'I', 24, {i0}}};
  for (const auto& [name, at, to, cut, entries] : links) {
    // Cut in a buffer of its own, so that the sanitizer sees any read past it.
    Bytes block(chain.begin(), chain.begin() + ptrdiff_t(cut != 0 ? cut : chain.size()));
    block[at] = to;
    EXPECT_EQ(Walk(block), entries) << name;
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
  classify ? ClassifySegment(0xE0, bytes.data(), *classify, &table)
           : WalkJpegMarkers(bytes.data(), bytes.size(), &table);
  return texts;
}

TEST(JpegWalker, ScansMarkersAndSkipsSegmentsThatDoNotFit) {
  const std::string on = "\xFF\xFE\0\4on"s; // a comment
  const std::tuple<const char*, std::string, Texts> rows[] = {
      {"stuffing, restart, start of image", "\xFF\0\xFF\xD7\xFF\xD8"s + on, {"on"}},
      {"end of image ends the walk", "\xFF\xD9" + on, {}},
      {"the last restart marker has no length", "\xFF\xD7\0\6"s + on, {"on"}},
      {"end of image inside a segment", "\xFF\xE1\0\4\xFF\xD9"s + on, {"\xFF\xD9", "on"}},
      {"length past the end: on after FF", "\xFF\xFE\0@a"s + on, {"on"}},
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
  for (char length : {0, 1}) // taken as a length of L - 2, the bytes after would be JFIF
    EXPECT_EQ(Segments({'\0', length, 'J', 'F', 'I', 'F', 0, 1}, length), Texts{}) << int{length};
}

// A file's three dates as the program reads them, cut to `cut`; a movie's in UTC.
Texts Read(const SparseFile& file, uint64_t cut = UINT64_MAX) {
  std::pair<const SparseFile*, uint64_t> cutFile = {&file, std::min(cut, file.Size())};
  auto read = [](void* context, uint64_t offset, uint8_t* out, size_t size) {
    auto [whole, length] = *static_cast<decltype(cutFile)*>(context);
    EXPECT_LE(offset + size, length) << "read past the end";
    whole->CopyOut(offset, out, size);
    return true;
  };
  ByteSource source = FileSource(cutFile.second, read, &cutFile);
  DateRecord d[3] = {};
  TimesRequest request = {0, nullptr, nullptr, &d[0], &d[1], &d[2]};
  MovieTimes movie;
  ReadMediaDates(&source, &request, &movie);
  Texts texts(3, std::string(19, ' ')); // snprintf's NUL goes where the string keeps its own
  for (size_t i = 0; i < 3; ++i) {
    uint64_t seconds = i == 0 ? movie.modified : movie.created;
    std::time_t utc = static_cast<std::time_t>(seconds - 2082844800); // from 1904 to 1970
    if (seconds == 0)
      std::snprintf(texts[i].data(), 20, "%04d:%02d:%02d %02d:%02d:%02d", d[i].wYear, d[i].wMonth,
                    d[i].wDay, d[i].wHour, d[i].wMinute, d[i].wSecond);
    else
      std::strftime(texts[i].data(), 20, "%Y:%m:%d %H:%M:%S", std::gmtime(&utc));
  }
  return texts;
}

// Each container gives its dates; none if cut short, or if a box on the way outgrows its parent.
TEST(MediaDates, EachFileGivesItsTrueDatesOrNone) {
  TiffLayout camera = CameraLayout(ByteOrder::kIntel, kDate, kOriginal, kDigitized), moved = camera;
  Bytes tiff = BuildTiff(camera),
        mm = BuildTiff(CameraLayout(ByteOrder::kMotorola, kDate, kOriginal, kDigitized)),
        exif = kExifHeader + mm, cmt1 = BuildTiff({.chain = {{Ascii(0x0132, kDate)}}}),
        cmt2 = BuildTiff({.chain = {{Ascii(0x9003, kOriginal), Ascii(0x9004, kDigitized)}}});
  const uint64_t made = 3742884672, next = 3742938123; // 2022-08-09 10:11:12, a day later
  const Texts movie = {"2022:08:10 01:02:03", "2022:08:09 10:11:12", "2022:08:09 10:11:12"},
              wide = {"2046:06:07 08:09:10", "2045:01:02 03:04:05", "2045:01:02 03:04:05"};
  // The file, what it gives, how many bytes at its end are not needed, a box grown (or none).
  const std::tuple<const char*, SparseFile, Texts, uint64_t, const char*> swept[] = {
      {"HEIC, iloc version 2", {BuildHeif(mm)}, kAll, 0, "iloc"},
      {"HEIC, iinf 1, infe 3", {BuildHeif(mm, 1)}, kAll, 0, nullptr},
      {"CR3: its blocks, not its movie header", {BuildCr3(cmt1, cmt2)}, kAll, 64, nullptr},
      {"MP4 after 5 GiB of media", BuildMovie(0, made, next, 5ull << 30), movie, 8, "mvhd"},
      {"MP4, 64-bit times", BuildMovie(1, 4449783845, 4494816550, 9), wide, 8, nullptr},
      {"MP4, no creation time", BuildMovie(0, 0, next), {movie[0], kNo, kNo}, 8, nullptr},
      {"MP4 from 1970", BuildMovie(0, 1660039872, 1660039872), Texts(3, movie[1]), 8, nullptr},
      {"PNG with Exif\\0\\0", {BuildPng(exif)}, kAll, 12, nullptr},
      {"WebP with a pad byte", BuildWebp(mm + Bytes(1)), kAll, 2, nullptr},
      {"WebP with Exif\\0\\0", BuildWebp(exif), kAll, 2, "EXIF"}};
  for (const auto& [name, file, dates, spare, grown] : swept) {
    for (uint64_t cut = 0; cut <= file.Size(); cut += cut == file.head.size() ? file.zeros + 1 : 1)
      EXPECT_EQ(Read(file, cut), cut + spare >= file.Size() ? dates : kNone) << name << " " << cut;
    EXPECT_EQ(Read(grown ? GrowByOne(file, grown) : file), grown ? kNone : dates) << name;
  }
  // Digits after a short date, and an entry read from its own value field on, would complete it.
  TiffField shortDate = {0x9003, 2, 11, {}, "2019:05:01\0"s}, digits = Ascii(0x9290, "20:01:02"),
            atEnd = {0x9003, 2, 19, {}, kOriginal}, fromEntry = RawField(0x9003, 2, 19, 0),
            ones = RawField(0x3131, 0x3131, 0x31313131, 0x31313131), other = Ascii(0x0132, kOther);
  TiffLayout last = {.chain = camera.chain, .exif = Ifd{other}},
             gps = {.exif = Ifd{}, .gps = Ifd{other}};
  auto jpeg = [](const TiffLayout& layout, size_t size = 70000) {
    return JpegBuilder().Exif(BuildTiff(layout)).Build(size);
  };
  moved.firstIfd = 2 << 20; // past the JPEG window, after 3,000 values the dates do not need
  moved.chain[0].insert(moved.chain[0].begin(), 3000, RawField(0x011A, 5, 1, 8));
  Bytes late = BuildTiff(moved), photo = jpeg(camera),
        own = BuildTiff(CameraLayout(ByteOrder::kIntel, kOther, kOther, kOther));
  size_t scan = (1 << 20) - 22 - tiff.size(); // ends the Exif segment at the window's last byte
  const std::tuple<const char*, SparseFile, Texts> rows[] = {
      {"a JPEG of 65,535 bytes is never examined", {jpeg(camera, 65535)}, kNone},
      {"one of 65,536 bytes is", {jpeg(camera, 65536)}, kAll},
      {"no Exif IFD pointer", {jpeg({.chain = camera.chain, .gps = camera.gps})}, kNone},
      {"DateTime in the Exif IFD comes last", {jpeg(last)}, {kOther, kNo, kNo}},
      {"dates in the GPS IFD do not count", {jpeg(gps)}, kNone},
      {"count 11 followed by digits", {jpeg({.exif = Ifd{shortDate, digits}})}, kNone},
      {"two digits of hour",
       {jpeg({.exif = Ifd{Ascii(0x9003, "2019:07:04 18030:05")}})},
       {kNo, "2019:07:04 18:30:05", kNo}},
      {"count 19 at the block end", {jpeg({.exif = Ifd{atEnd}})}, {kNo, kOriginal, kNo}},
      {"count 19 from the entry's own field", {jpeg({.exif = Ifd{fromEntry, ones, ones}})}, kNone},
      {"IFDs past the window, 3,000 values first", {late}, kAll},
      {"a JPEG in the first block, then the TIFF's own dates", {own + photo}, kAll},
      // RAW headers: Olympus's older and big-endian ones, Panasonic's; BigTIFF's is no TIFF here.
      {"IIRS", {Text("IIRS") + Bytes(tiff.begin() + 4, tiff.end()), 70000}, kAll},
      {"MMOR", {Text("MMOR") + Bytes(mm.begin() + 4, mm.end()), 70000}, kAll},
      {"IIU", {Text("IIU") + Bytes(tiff.begin() + 3, tiff.end()), 70000}, kAll},
      {"BigTIFF", {Text("II+") + Bytes(tiff.begin() + 3, tiff.end()), 70000}, kNone},
      {"own dates, then a JPEG past the first block", {own, 40000, photo}, Texts(3, kOther)},
      {"no own dates, then a JPEG past its first block", {BuildTiff({}), 40000, photo}, kAll},
      {"Exif segment up to the window's end", {JpegBuilder().Scan(scan).Exif(tiff).Build()}, kAll},
      {"Exif segment past the window", {JpegBuilder().Scan(scan + 1).Exif(tiff).Build()}, kNone},
      {"PNG, 4,091 chunks before eXIf: the last view", {BuildPng(tiff, 4091)}, kAll},
      {"PNG, 4,092 chunks before eXIf", {BuildPng(tiff, 4092)}, kNone},
      {"WebP, EXIF of 16 MiB less 64 bytes", BuildWebp(tiff, (16 << 20) - 64 - tiff.size()), kAll},
      {"WebP, EXIF of 16 MiB", BuildWebp(tiff, (16 << 20) - tiff.size()), kNone}};
  for (const auto& [name, file, dates] : rows)
    EXPECT_EQ(Read(file), dates) << name;
  // Real encoders' files (tests/data/make-samples): the dates exiftool reports, a movie's in UTC.
  const Texts heif = {"2023:05:07 10:11:12", "2023:05:06 07:08:09", "2023:05:06 07:08:10"},
              web = {"2020:02:03 04:05:06", "2020:01:02 03:04:05", "2020:01:02 03:04:06"},
              tif = {"2019:10:12 13:14:15", "2019:10:11 12:13:14", "2019:10:11 12:13:15"},
              mp4(3, "2022:08:09 10:11:12"), mov = {"2022:08:10 01:02:03", mp4[0], mp4[0]};
  const std::pair<const char*, Texts> samples[] = {
      {"heif-enc.heic", heif}, {"heif-enc.avif", heif},  {"imagemagick.png", web},
      {"cwebp.webp", web},     {"imagemagick.tif", tif}, {"ffmpeg.mp4", mp4},
      {"ffmpeg.3gp", mp4},     {"ffmpeg.m4v", mp4},      {"ffmpeg.mov", mov}};
  for (const auto& [name, dates] : samples) {
    std::ifstream in(std::string(DATEWRIGHT_TEST_DATA) + "/" + name, std::ios::binary);
    EXPECT_EQ(Read({Bytes(std::istreambuf_iterator<char>(in), {})}), dates) << name;
  }
}

} // namespace
