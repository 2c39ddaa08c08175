#pragma once
// JPEG files with an Exif segment, and bare TIFF blocks, for tests, fuzz seeds and the benchmark.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

enum class ByteOrder { kIntel, kMotorola };

// One IFD entry: values over 4 bytes, and all rationals, go after the IFDs; or valueField, alone.
struct TiffField {
  uint16_t tag, type;
  uint32_t count;
  std::vector<uint32_t> numbers; // SHORT, LONG and rational parts
  std::string text;              // the one-byte types
  std::optional<uint32_t> valueField;
};

using Ifd = std::vector<TiffField>;

// Header, IFD0's chain, Exif IFD, GPS IFD, values; IFD0 gets a pointer to each of the last two.
struct TiffLayout {
  ByteOrder order = ByteOrder::kIntel;
  std::vector<Ifd> chain = {};
  std::optional<Ifd> exif = {}, gps = {};
  uint32_t firstIfd = 8; // all but the 8-byte header belongs this far in
};

inline TiffField Ascii(uint16_t tag, const std::string& text) { // a NUL is added and counted
  return {tag, 2, static_cast<uint32_t>(text.size() + 1), {}, text + '\0', {}};
}

inline TiffField RawField(uint16_t tag, uint16_t type, uint32_t count, uint32_t valueField) {
  return {tag, type, count, {}, {}, valueField};
}

inline void AppendNumber(Bytes& bytes, uint32_t value, size_t size, ByteOrder order) {
  for (size_t i = 0; i < size; ++i)
    bytes.push_back(uint8_t(value >> 8 * (order == ByteOrder::kIntel ? i : size - 1 - i)));
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
  ByteOrder order = layout.order;
  Bytes out, values;
  for (uint32_t word : {order == ByteOrder::kIntel ? 0x4949u : 0x4D4Du, 42u})
    AppendNumber(out, word, 2, order);
  AppendNumber(out, layout.firstIfd, 4, order);
  for (size_t i = 0; i < ifds.size(); ++i) {
    AppendNumber(out, static_cast<uint32_t>(ifds[i].size()), 2, order);
    for (const TiffField& field : ifds[i]) {
      AppendNumber(out, field.tag, 2, order);
      AppendNumber(out, field.type, 2, order);
      AppendNumber(out, field.count, 4, order);
      Bytes value(field.text.begin(), field.text.end());
      for (uint32_t number : field.numbers)
        AppendNumber(value, number, field.type == 3 ? 2 : 4, order); // a rational is two LONGs
      if (field.valueField || value.size() > 4 || field.type == 5 || field.type == 10) {
        AppendNumber(out, field.valueField.value_or(offsets.back() + values.size()), 4, order);
        values.insert(values.end(), value.begin(), value.end());
      } else {
        value.resize(4);
        out.insert(out.end(), value.begin(), value.end());
      }
    }
    AppendNumber(out, i + 1 < chainLength ? offsets[i + 1] : 0, 4, order);
  }
  out.insert(out.end(), values.begin(), values.end());
  return out;
}

// What a camera writes: IFD0 with DateTime, a thumbnail IFD1, the Exif IFD's dates, a GPS IFD.
inline TiffLayout CameraLayout(ByteOrder order, const std::string& dateTime,
                               const std::string& original, const std::string& digitized) {
  TiffField orientation = {0x0112, 3, 1, {1}, {}, {}}, resolution = {0x011A, 5, 1, {72, 1}, {}, {}},
            exposure = {0x829A, 5, 1, {1, 250}, {}, {}},
            latitude = {0x0002, 5, 3, {52, 1, 31, 1, 1234, 100}, {}, {}};
  return {
      order,
      {{Ascii(0x010F, "Datewright Camera Co."), orientation, resolution, Ascii(0x0132, dateTime)},
       {{0x0103, 3, 1, {6}, {}, {}}, RawField(0x0201, 4, 1, 0), RawField(0x0202, 4, 1, 0)}},
      Ifd{exposure, Ascii(0x9003, original), Ascii(0x9004, digitized),
          RawField(0x9000, 7, 4, 0x31333230)},
      Ifd{RawField(0x0000, 1, 4, 0x302), Ascii(0x0001, "N"), latitude}};
}

// Scan data: each FF is stuffed with 00 or, now and then, starts a restart marker.
inline void AppendScan(Bytes& bytes, size_t length, uint32_t seed) {
  for (size_t i = 0; i < length; ++i) {
    seed = seed * 1664525u + 1013904223u;
    bool afterFF = i > 0 && bytes.back() == 0xFF;
    bytes.push_back(static_cast<uint8_t>(afterFF ? (seed & 0x3F) == 0 ? 0xD0 + (seed >> 8 & 7) : 0
                                                 : seed >> 24));
  }
  if (length > 0 && bytes.back() == 0xFF)
    bytes.back() = 0;
}

// SOI, the parts in order, EOI; Build pads with scan data before EOI up to totalSize.
class JpegBuilder {
public:
  JpegBuilder& Segment(uint8_t marker, const Bytes& payload) {
    body_.insert(body_.end(), {0xFF, marker});
    AppendNumber(body_, static_cast<uint32_t>(payload.size() + 2), 2, ByteOrder::kMotorola);
    body_.insert(body_.end(), payload.begin(), payload.end());
    return *this;
  }
  JpegBuilder& Jfif() { return Segment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 2, 0, 0, 1, 0, 1, 0, 0}); }
  JpegBuilder& Exif(Bytes tiff) {
    tiff.insert(tiff.begin(), {'E', 'x', 'i', 'f', 0, 0});
    return Segment(0xE1, tiff);
  }
  // One component, table 0: enough of a start-of-scan header to look real.
  JpegBuilder& Scan(size_t length) {
    Segment(0xDA, Bytes{1, 1, 0, 0, 63, 0});
    AppendScan(body_, length, static_cast<uint32_t>(body_.size()));
    return *this;
  }
  Bytes Build(size_t totalSize = 0) const {
    Bytes out = {0xFF, 0xD8};
    out.insert(out.end(), body_.begin(), body_.end());
    if (totalSize > out.size() + 2)
      AppendScan(out, totalSize - out.size() - 2, static_cast<uint32_t>(totalSize));
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
  }

private:
  Bytes body_;
};
