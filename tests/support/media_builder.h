#pragma once
// Photos and movies made in code for the tests and the benchmark.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using Bytes = std::vector<uint8_t>;

enum class ByteOrder { kIntel, kMotorola };

inline Bytes& operator+=(Bytes& first, const Bytes& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

inline Bytes operator+(Bytes first, const Bytes& second) {
  return first += second;
}

inline Bytes Text(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

inline Bytes Number(uint64_t value, size_t size, ByteOrder order = ByteOrder::kMotorola) {
  Bytes out;
  for (size_t i = 0; i < size; ++i)
    out.push_back(uint8_t(value >> 8 * (order == ByteOrder::kIntel ? i : size - 1 - i)));
  return out;
}

inline const Bytes kExifHeader = Text({"Exif\0\0", 6}); // before a TIFF block in most containers

struct SparseFile {
  Bytes head;
  uint64_t zeros = 0;
  Bytes tail = {};

  uint64_t Size() const { return head.size() + zeros + tail.size(); }
  void CopyOut(uint64_t at, uint8_t* out, size_t size) const {
    for (uint64_t end = at + size, tailAt = head.size() + zeros; at < end; ++at)
      *out++ = at < head.size() ? head[at] : at < tailAt ? 0 : tail[at - tailAt];
  }
};

struct TiffField { // one IFD entry: values over 4 bytes go after the IFDs; or valueField, alone
  uint16_t tag, type;
  uint32_t count;
  std::vector<uint32_t> numbers = {}; // SHORT, LONG and rational parts
  std::string text = {};              // the one-byte types
  std::optional<uint32_t> valueField = {};
};

using Ifd = std::vector<TiffField>;

// Header, IFD0's chain, Exif IFD, GPS IFD, values; IFD0 gets a pointer to each of the last two.
struct TiffLayout {
  ByteOrder order = ByteOrder::kIntel;
  std::vector<Ifd> chain = {};
  std::optional<Ifd> exif = {}, gps = {};
  uint32_t firstIfd = 8; // zeros between the header and it
};

inline TiffField Ascii(uint16_t tag, const std::string& text) { // a NUL is added and counted
  return {tag, 2, static_cast<uint32_t>(text.size() + 1), {}, text + '\0'};
}

inline TiffField RawField(uint16_t tag, uint16_t type, uint32_t count, uint32_t valueField) {
  return {tag, type, count, {}, {}, valueField};
}

inline Bytes BuildTiff(const TiffLayout& layout) {
  std::vector<Ifd> ifds = layout.chain.empty() ? std::vector<Ifd>(1) : layout.chain;
  size_t chainLength = ifds.size();
  // IFD0's pointers go in first, so that every IFD's size is known before the offsets are.
  for (const auto& [tag, extra] : {std::pair{0x8769, layout.exif}, {0x8825, layout.gps}}) {
    if (extra) {
      ifds[0].push_back(RawField(tag, 4, 1, 0));
      ifds.push_back(*extra);
    }
  }
  std::vector<uint32_t> offsets = {layout.firstIfd}; // and last, where the values start
  for (const Ifd& ifd : ifds)
    offsets.push_back(static_cast<uint32_t>(offsets.back() + 2 + 12 * ifd.size() + 4));
  for (size_t i = chainLength; i < ifds.size(); ++i)
    ifds[0][ifds[0].size() - ifds.size() + i].valueField = offsets[i];
  auto number = [order = layout.order](uint64_t n, size_t size) { return Number(n, size, order); };
  Bytes values, out = Text(layout.order == ByteOrder::kIntel ? "II" : "MM") + number(42, 2) +
                      number(layout.firstIfd, 4) + Bytes(layout.firstIfd - 8);
  for (size_t i = 0; i < ifds.size(); ++i) {
    out += number(ifds[i].size(), 2);
    for (const auto& [tag, type, count, numbers, text, valueField] : ifds[i]) {
      Bytes value = Text(text);
      for (uint32_t part : numbers)
        value += number(part, type == 3 ? 2 : 4); // a rational is two LONGs
      bool apart = valueField || value.size() > 4;
      out += number(tag, 2) + number(type, 2) + number(count, 4) +
             (apart ? number(valueField.value_or(offsets.back() + values.size()), 4)
                    : value + Bytes(4 - value.size()));
      values += apart ? value : Bytes();
    }
    out += number(i + 1 < chainLength ? offsets[i + 1] : 0, 4);
  }
  return out + values;
}

// What a camera writes: IFD0 with DateTime, a thumbnail IFD1, the Exif IFD's dates, a GPS IFD.
inline TiffLayout CameraLayout(ByteOrder order, const std::string& dateTime,
                               const std::string& original, const std::string& digitized) {
  TiffField resolution = {0x011A, 5, 1, {72, 1}}, exposure = {0x829A, 5, 1, {1, 250}};
  return {order,
          {{Ascii(0x010F, "Datewright Camera Co."), resolution, Ascii(0x0132, dateTime)},
           {{0x0103, 3, 1, {6}}, RawField(0x0201, 4, 1, 0), RawField(0x0202, 4, 1, 0)}},
          Ifd{exposure, Ascii(0x9003, original), Ascii(0x9004, digitized)},
          Ifd{Ascii(0x0001, "N"), {0x0002, 5, 3, {52, 1, 31, 1, 1234, 100}}}};
}

// Scan data: each FF is stuffed with 00 or, now and then, starts a restart marker; none is last.
inline void AppendScan(Bytes& bytes, size_t length, uint32_t seed) {
  for (size_t i = 0; i < length; ++i, seed = seed * 1664525u + 1013904223u) {
    bool afterFF = i > 0 && bytes.back() == 0xFF;
    bytes.push_back(afterFF ? (seed & 0x3F) == 0 ? 0xD0 + (seed >> 8 & 7) : 0
                            : seed >> 24 & (i + 1 < length ? 0xFF : 0xFE));
  }
}

// SOI, the parts in order, EOI; Build pads with scan data before EOI up to totalSize.
struct JpegBuilder {
  Bytes body; // the parts

  JpegBuilder& Segment(uint8_t marker, const Bytes& payload) {
    body += Bytes{0xFF, marker} + Number(payload.size() + 2, 2) + payload;
    return *this;
  }
  JpegBuilder& Exif(const Bytes& tiff) { return Segment(0xE1, kExifHeader + tiff); }
  JpegBuilder& Scan(size_t length) {
    Segment(0xDA, Bytes{1, 1, 0, 0, 63, 0});
    AppendScan(body, length, static_cast<uint32_t>(body.size()));
    return *this;
  }
  Bytes Build(size_t totalSize = 0) const {
    Bytes out = Bytes{0xFF, 0xD8} + body;
    if (totalSize > out.size() + 2)
      AppendScan(out, totalSize - out.size() - 2, static_cast<uint32_t>(totalSize));
    return out + Bytes{0xFF, 0xD9};
  }
};

// A box: its size, type and content; a full box's content starts with its version and flags.
inline Bytes IsoBox(std::string_view type, const Bytes& content, int version = -1) {
  Bytes full = version >= 0 ? Number(uint32_t(version) << 24, 4) + content : content;
  return Number(8 + full.size(), 4) + Text(type) + full;
}

// An HEIC-like image: meta with Exif item 7 placed by iloc version 2 (no sample file has it); mdat.
inline Bytes BuildHeif(const Bytes& tiff, int v = 0) { // v: iinf's version, infe's less 2
  Bytes ftyp = IsoBox("ftyp", Text("heic0000")), item = Number(6, 4) + kExifHeader + tiff;
  Bytes hdlr = IsoBox("hdlr", Text({"\0\0\0\0pict", 8}), 0),
        infe = IsoBox("infe", Number(7, 2 << v) + Text({"\0\0Exif", 6}), 2 + v),
        iinf = IsoBox("iinf", Number(1, 2 << v) + infe, v);
  auto meta = [&](size_t itemAt) {
    Bytes iloc = Bytes{0x44, 0x40} + Number(1, 4) + Number(7, 4) + Number(0, 4) +
                 Number(itemAt - 2, 4) + Number(1, 2) + Number(2, 4) + Number(item.size(), 4);
    return IsoBox("meta", hdlr + iinf + IsoBox("iloc", iloc, 2), 0);
  };
  return ftyp + meta(ftyp.size() + meta(0).size() + 8) + IsoBox("mdat", item);
}

inline Bytes MovieHeader(uint8_t version, uint64_t created, uint64_t modified) {
  size_t width = version == 0 ? 4 : 8;
  return IsoBox("mvhd", Number(created, width) + Number(modified, width) + Number(600, 4), version);
}

// A movie: ftyp, mdat of `media` zeros (a 64-bit size), moov with mvhd last, and a free box.
inline SparseFile BuildMovie(uint8_t version, uint64_t created, uint64_t modified,
                             uint64_t media = 0) {
  Bytes head =
      IsoBox("ftyp", Text("isom0000")) + Number(1, 4) + Text("mdat") + Number(16 + media, 8);
  Bytes moov = IsoBox("moov", IsoBox("udta", {}) + MovieHeader(version, created, modified));
  return {head, media, moov + IsoBox("free", {})};
}

// A CR3-like raw: Canon's uuid box with CMT1 (IFD0) and CMT2 (the Exif IFD), then an mvhd.
inline Bytes BuildCr3(const Bytes& ifd0, const Bytes& exifIfd) {
  Bytes canon = Number(0x85C0B687820F11E0, 8) + Number(0x8111F4CE462B6A48, 8);
  Bytes uuid = IsoBox("uuid", canon + IsoBox("CMT1", ifd0) + IsoBox("CMT2", exifIfd));
  return IsoBox("ftyp", Text("crx 0000")) + IsoBox("moov", uuid + MovieHeader(0, 3742884672, 0)) +
         IsoBox("mdat", Bytes(56));
}

// A PNG: IHDR, `fillers` empty chunks, IDAT, eXIf after it as some writers put it, IEND; CRCs 0.
inline Bytes BuildPng(const Bytes& exif, size_t fillers = 0) {
  auto chunk = [](std::string_view type, const Bytes& data) {
    return Number(data.size(), 4) + Text(type) + data + Number(0, 4);
  };
  Bytes png = Text("\x89PNG\r\n\x1A\n") + chunk("IHDR", Bytes(13, 1));
  for (size_t i = 0; i < fillers; ++i)
    png += chunk("tEXt", {});
  return png + chunk("IDAT", Bytes(20, 0x55)) + chunk("eXIf", exif) + chunk("IEND", {});
}

// A WebP: VP8X, a frame of odd length, EXIF (exif, `padding` zeros); two bytes after the RIFF.
inline SparseFile BuildWebp(const Bytes& exif, uint64_t padding = 0) {
  uint64_t size = exif.size() + padding;
  auto header = [](std::string_view type, uint64_t size) {
    return Text(type) + Number(size, 4, ByteOrder::kIntel);
  };
  Bytes body = Text("WEBP") + header("VP8X", 10) + Bytes(10) + header("VP8 ", 11) +
               Bytes(12, 0x9D) + header("EXIF", size) + exif;
  return {header("RIFF", body.size() + padding + size % 2) + body, padding, Bytes(size % 2 + 2)};
}

// The file with one more in the size of the first box or RIFF chunk of that type.
inline SparseFile GrowByOne(SparseFile file, std::string_view type) {
  bool riff = file.head[0] == 'R';
  auto find = [&type](Bytes& in) {
    return std::search(in.begin(), in.end(), type.begin(), type.end());
  };
  auto at = find(file.head) != file.head.end() ? find(file.head) : find(file.tail);
  for (at += riff ? 4 : -1; ++*at == 0; at += riff ? 1 : -1)
    ;
  return file;
}
