#include "tests/support/jpeg_builder.h"

namespace {

void Put(Bytes& bytes, size_t at, uint32_t value, size_t size, ByteOrder order) {
  for (size_t i = 0; i < size; ++i)
    bytes[at + i] =
        static_cast<uint8_t>(value >> 8 * (order == ByteOrder::kIntel ? i : size - 1 - i));
}

// Appends scan data: each FF is stuffed with 00 or, now and then, starts a restart marker.
void AppendScan(Bytes& bytes, size_t length, uint32_t seed) {
  size_t start = bytes.size();
  bytes.resize(start + length);
  for (size_t i = start; i < bytes.size(); ++i) {
    seed = seed * 1664525u + 1013904223u;
    bool afterFF = i > start && bytes[i - 1] == 0xFF;
    bytes[i] = static_cast<uint8_t>(afterFF ? (seed & 0x3F) == 0 ? 0xD0 + (seed >> 8 & 7) : 0
                                            : seed >> 24);
  }
  if (length > 0 && bytes.back() == 0xFF)
    bytes.back() = 0;
}

} // namespace

TiffField Ascii(uint16_t tag, const std::string& text) {
  return TiffField{tag, 2, static_cast<uint32_t>(text.size() + 1), {}, text + '\0', {}};
}

TiffField RawField(uint16_t tag, uint16_t type, uint32_t count, uint32_t valueField) {
  return TiffField{tag, type, count, {}, {}, valueField};
}

BuiltTiff BuildTiff(const TiffLayout& layout) {
  std::vector<Ifd> ifds = layout.chain;
  if (ifds.empty())
    ifds.emplace_back();
  size_t chainLength = ifds.size();
  // IFD0's pointers go in first, so that every IFD's size is known before the offsets are.
  bool linkExif = layout.exif && layout.linkExif;
  if (linkExif)
    ifds[0].push_back(RawField(0x8769, 4, 1, 0));
  if (layout.gps)
    ifds[0].push_back(RawField(0x8825, 4, 1, 0));
  for (const std::optional<Ifd>& extra : {layout.exif, layout.gps})
    if (extra)
      ifds.push_back(*extra);
  std::vector<uint32_t> offsets;
  size_t end = 8;
  for (const Ifd& ifd : ifds) {
    offsets.push_back(static_cast<uint32_t>(end));
    end += 2 + 12 * ifd.size() + 4;
  }
  if (layout.gps)
    ifds[0].back().valueField = offsets.back();
  if (linkExif)
    ifds[0][ifds[0].size() - (layout.gps ? 2 : 1)].valueField = offsets[chainLength];

  ByteOrder order = layout.order;
  Bytes out(end);
  out[0] = out[1] = order == ByteOrder::kIntel ? 'I' : 'M';
  Put(out, 2, 42, 2, order);
  Put(out, 4, offsets[0], 4, order);
  for (size_t i = 0; i < ifds.size(); ++i) {
    size_t at = offsets[i];
    Put(out, at, static_cast<uint32_t>(ifds[i].size()), 2, order);
    for (const TiffField& field : ifds[i]) {
      Put(out, at + 2, field.tag, 2, order);
      Put(out, at + 4, field.type, 2, order);
      Put(out, at + 6, field.count, 4, order);
      size_t size = field.type == 3 ? 2 : 4; // a rational is two LONG-sized parts
      Bytes values(field.text.begin(), field.text.end());
      for (uint32_t number : field.numbers) {
        values.resize(values.size() + size);
        Put(values, values.size() - size, number, size, order);
      }
      if (field.valueField) {
        Put(out, at + 10, *field.valueField, 4, order);
      } else if (values.size() <= 4 && field.type != 5 && field.type != 10) {
        std::copy(values.begin(), values.end(), out.begin() + static_cast<ptrdiff_t>(at + 10));
      } else {
        Put(out, at + 10, static_cast<uint32_t>(out.size()), 4, order);
        out.insert(out.end(), values.begin(), values.end());
      }
      at += 12;
    }
    Put(out, at + 2, i + 1 < chainLength ? offsets[i + 1] : 0, 4, order);
  }
  return {out};
}

JpegBuilder& JpegBuilder::Jfif() {
  return Segment(0xE0, Bytes{'J', 'F', 'I', 'F', 0, 1, 2, 0, 0, 72, 0, 72, 0, 0});
}

JpegBuilder& JpegBuilder::Segment(uint8_t marker, const Bytes& payload) {
  size_t length = payload.size() + 2;
  body_.insert(body_.end(),
               {0xFF, marker, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)});
  body_.insert(body_.end(), payload.begin(), payload.end());
  return *this;
}

JpegBuilder& JpegBuilder::Exif(const Bytes& tiff, uint8_t marker) {
  Bytes payload = {'E', 'x', 'i', 'f', 0, 0};
  payload.insert(payload.end(), tiff.begin(), tiff.end());
  return Segment(marker, payload);
}

JpegBuilder& JpegBuilder::Scan(size_t length) {
  // One component, table 0: enough of a start-of-scan header to look real.
  Segment(0xDA, Bytes{1, 1, 0, 0, 63, 0});
  AppendScan(body_, length, static_cast<uint32_t>(body_.size()));
  return *this;
}

Bytes JpegBuilder::Build(size_t totalSize) const {
  Bytes out = {0xFF, 0xD8};
  out.insert(out.end(), body_.begin(), body_.end());
  if (totalSize > out.size() + 2)
    AppendScan(out, totalSize - out.size() - 2, static_cast<uint32_t>(totalSize));
  out.insert(out.end(), {0xFF, 0xD9});
  return out;
}

TiffLayout CameraLayout(ByteOrder order, const std::string& dateTime, const std::string& original,
                        const std::string& digitized) {
  TiffField orientation = {0x0112, 3, 1, {1}, {}, {}}, resolution = {0x011A, 5, 1, {72, 1}, {}, {}},
            exposure = {0x829A, 5, 1, {1, 250}, {}, {}},
            latitude = {0x0002, 5, 3, {52, 1, 31, 1, 1234, 100}, {}, {}};
  return {
      order,
      {{Ascii(0x010F, "Datewright Camera Co."), orientation, resolution, Ascii(0x0132, dateTime)},
       {{0x0103, 3, 1, {6}, {}, {}}, RawField(0x0201, 4, 1, 0), RawField(0x0202, 4, 1, 0)}},
      Ifd{exposure, Ascii(0x9003, original), Ascii(0x9004, digitized),
          RawField(0x9000, 7, 4, 0x31333230)},
      Ifd{RawField(0x0000, 1, 4, 0x302), Ascii(0x0001, "N"), latitude},
      true};
}
