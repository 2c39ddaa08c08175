#include "tests/support/jpeg_builder.h"

#include <algorithm>

namespace {

constexpr size_t kEntrySize = 12;

void PutU16(Bytes& bytes, size_t at, uint16_t value, ByteOrder order) {
  bool big = order == ByteOrder::kMotorola;
  bytes[at] = static_cast<uint8_t>(big ? value >> 8 : value);
  bytes[at + 1] = static_cast<uint8_t>(big ? value : value >> 8);
}

size_t NumberSize(uint16_t type) {
  switch (type) {
  case 3:
    return 2;
  case 4:
  case 9:
  case 5:
  case 10:
    return 4; // a rational is two of these
  default:
    return 0; // text
  }
}

Bytes EncodeValues(const TiffField& field, ByteOrder order) {
  size_t size = NumberSize(field.type);
  if (size == 0)
    return Bytes(field.text.begin(), field.text.end());
  Bytes values(field.numbers.size() * size);
  for (size_t i = 0; i < field.numbers.size(); ++i) {
    if (size == 2)
      PutU16(values, i * 2, static_cast<uint16_t>(field.numbers[i]), order);
    else
      PutU32(values, i * 4, field.numbers[i], order);
  }
  return values;
}

bool Rational(uint16_t type) {
  return type == 5 || type == 10;
}

size_t IfdSize(size_t entries) {
  return 2 + kEntrySize * entries + 4;
}

} // namespace

TiffField Ascii(uint16_t tag, const std::string& text) {
  return TiffField{tag, 2, static_cast<uint32_t>(text.size() + 1), {}, text + '\0', {}};
}

TiffField AsciiWithoutNul(uint16_t tag, const std::string& text) {
  return TiffField{tag, 2, static_cast<uint32_t>(text.size()), {}, text, {}};
}

TiffField Short(uint16_t tag, uint16_t value) {
  return TiffField{tag, 3, 1, {value}, {}, {}};
}

TiffField Long(uint16_t tag, uint32_t value) {
  return TiffField{tag, 4, 1, {value}, {}, {}};
}

TiffField Rational(uint16_t tag, uint32_t numerator, uint32_t denominator) {
  return TiffField{tag, 5, 1, {numerator, denominator}, {}, {}};
}

TiffField RawField(uint16_t tag, uint16_t type, uint32_t count, uint32_t valueField) {
  return TiffField{tag, type, count, {}, {}, valueField};
}

void PutU32(Bytes& bytes, size_t at, uint32_t value, ByteOrder order) {
  bool big = order == ByteOrder::kMotorola;
  PutU16(bytes, at + (big ? 0 : 2), static_cast<uint16_t>(value >> 16), order);
  PutU16(bytes, at + (big ? 2 : 0), static_cast<uint16_t>(value), order);
}

size_t NextLinkAt(const Bytes& tiff, uint32_t ifdOffset, ByteOrder order) {
  size_t count = order == ByteOrder::kMotorola ? tiff[ifdOffset] << 8 | tiff[ifdOffset + 1]
                                               : tiff[ifdOffset + 1] << 8 | tiff[ifdOffset];
  return ifdOffset + 2 + kEntrySize * count;
}

BuiltTiff BuildTiff(const TiffLayout& layout) {
  std::vector<Ifd> ifds = layout.chain;
  if (ifds.empty())
    ifds.emplace_back();
  size_t exifIndex = 0;
  size_t gpsIndex = 0;
  if (layout.exif) {
    if (layout.linkExif)
      ifds[0].push_back(Long(0x8769, 0));
    exifIndex = ifds.size();
    ifds.push_back(*layout.exif);
  }
  if (layout.gps) {
    if (layout.linkGps)
      ifds[0].push_back(Long(0x8825, 0));
    gpsIndex = ifds.size();
    ifds.push_back(*layout.gps);
  }

  std::vector<uint32_t> offsets;
  size_t end = 8;
  for (const Ifd& ifd : ifds) {
    offsets.push_back(static_cast<uint32_t>(end));
    end += IfdSize(ifd.size());
  }
  BuiltTiff built;
  built.exifOffset = layout.exif ? offsets[exifIndex] : 0;
  built.gpsOffset = layout.gps ? offsets[gpsIndex] : 0;
  for (TiffField& field : ifds[0]) {
    if (field.tag == 0x8769 && layout.exif && layout.linkExif)
      field.numbers = {built.exifOffset};
    if (field.tag == 0x8825 && layout.gps && layout.linkGps)
      field.numbers = {built.gpsOffset};
  }

  Bytes& out = built.bytes;
  out.assign(end, 0);
  bool big = layout.order == ByteOrder::kMotorola;
  out[0] = out[1] = big ? 'M' : 'I';
  PutU16(out, 2, 42, layout.order);
  PutU32(out, 4, offsets[0], layout.order);
  size_t chainLength = std::max<size_t>(layout.chain.size(), 1);
  for (size_t i = 0; i < ifds.size(); ++i) {
    size_t at = offsets[i];
    PutU16(out, at, static_cast<uint16_t>(ifds[i].size()), layout.order);
    for (const TiffField& field : ifds[i]) {
      at += 2;
      PutU16(out, at, field.tag, layout.order);
      PutU16(out, at + 2, field.type, layout.order);
      PutU32(out, at + 4, field.count, layout.order);
      Bytes values = EncodeValues(field, layout.order);
      if (field.valueField) {
        PutU32(out, at + 8, *field.valueField, layout.order);
      } else if (values.size() <= 4 && !Rational(field.type)) {
        std::copy(values.begin(), values.end(), out.begin() + static_cast<ptrdiff_t>(at + 8));
      } else {
        PutU32(out, at + 8, static_cast<uint32_t>(out.size()), layout.order);
        out.insert(out.end(), values.begin(), values.end());
        if (out.size() % 2 != 0)
          out.push_back(0); // values start on a word boundary
      }
      at += 10;
    }
    bool linked = i + 1 < chainLength;
    PutU32(out, at + 2, linked ? offsets[i + 1] : 0, layout.order);
  }
  built.chainOffsets.assign(offsets.begin(), offsets.begin() + static_cast<ptrdiff_t>(chainLength));
  return built;
}

Bytes ScanBytes(size_t length, uint32_t seed) {
  Bytes bytes;
  bytes.reserve(length);
  uint32_t state = seed * 2654435761u + 1;
  uint8_t restart = 0;
  while (bytes.size() < length) {
    state = state * 1664525u + 1013904223u;
    uint8_t byte = static_cast<uint8_t>(state >> 24);
    size_t left = length - bytes.size();
    if (byte != 0xFF) {
      bytes.push_back(byte);
    } else if (left >= 2) {
      bool restartHere = (state & 0x3F) == 0;
      bytes.push_back(0xFF);
      bytes.push_back(restartHere ? static_cast<uint8_t>(0xD0 + (restart++ & 7)) : 0x00);
    } else {
      bytes.push_back(0x5A);
    }
  }
  return bytes;
}

Bytes ExifPayload(const Bytes& tiff) {
  Bytes payload = {'E', 'x', 'i', 'f', 0, 0};
  payload.insert(payload.end(), tiff.begin(), tiff.end());
  return payload;
}

JpegBuilder& JpegBuilder::Jfif() {
  return Segment(0xE0, Bytes{'J', 'F', 'I', 'F', 0, 1, 2, 0, 0, 72, 0, 72, 0, 0});
}

JpegBuilder& JpegBuilder::Segment(uint8_t marker, const Bytes& payload) {
  size_t length = payload.size() + 2;
  Raw(Bytes{0xFF, marker, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)});
  return Raw(payload);
}

JpegBuilder& JpegBuilder::Exif(const Bytes& tiff, uint8_t marker) {
  return Segment(marker, ExifPayload(tiff));
}

JpegBuilder& JpegBuilder::Raw(const Bytes& bytes) {
  body_.insert(body_.end(), bytes.begin(), bytes.end());
  return *this;
}

JpegBuilder& JpegBuilder::Scan(size_t length) {
  // One component, table 0: enough of a start-of-scan header to look real.
  Segment(0xDA, Bytes{1, 1, 0, 0, 63, 0});
  return Raw(ScanBytes(length, static_cast<uint32_t>(body_.size())));
}

Bytes JpegBuilder::Build(size_t totalSize) const {
  Bytes out = {0xFF, 0xD8};
  out.insert(out.end(), body_.begin(), body_.end());
  size_t withEnd = out.size() + 2;
  if (totalSize > withEnd) {
    Bytes padding = ScanBytes(totalSize - withEnd, static_cast<uint32_t>(totalSize));
    out.insert(out.end(), padding.begin(), padding.end());
  }
  out.push_back(0xFF);
  out.push_back(0xD9);
  return out;
}

TiffLayout CameraLayout(ByteOrder order, const std::string& dateTime, const std::string& original,
                        const std::string& digitized) {
  TiffLayout layout;
  layout.order = order;
  layout.chain = {
      {Ascii(0x010F, "Datewright Camera Co."), Short(0x0112, 1), Rational(0x011A, 72, 1),
       Ascii(0x0132, dateTime)},
      {Short(0x0103, 6), Long(0x0201, 0), Long(0x0202, 0)},
  };
  layout.exif = Ifd{Rational(0x829A, 1, 250), Ascii(0x9003, original), Ascii(0x9004, digitized),
                    RawField(0x9000, 7, 4, 0x31333230)};
  layout.gps = Ifd{RawField(0x0000, 1, 4, 0x00000302), Ascii(0x0001, "N"),
                   TiffField{0x0002, 5, 3, {52, 1, 31, 1, 1234, 100}, {}, {}}};
  return layout;
}

Bytes PhotoshopPayload(const std::vector<PhotoshopResource>& resources) {
  std::string signature = "Photoshop 3.0";
  Bytes out(signature.begin(), signature.end());
  out.push_back(0);
  for (const PhotoshopResource& resource : resources) {
    out.insert(out.end(), {'8', 'B', 'I', 'M'});
    out.push_back(static_cast<uint8_t>(resource.id >> 8));
    out.push_back(static_cast<uint8_t>(resource.id));
    out.push_back(static_cast<uint8_t>(resource.name.size()));
    out.insert(out.end(), resource.name.begin(), resource.name.end());
    if (resource.name.size() % 2 == 0)
      out.push_back(0);
    size_t size = resource.data.size();
    out.insert(out.end(), {static_cast<uint8_t>(size >> 24), static_cast<uint8_t>(size >> 16),
                           static_cast<uint8_t>(size >> 8), static_cast<uint8_t>(size)});
    out.insert(out.end(), resource.data.begin(), resource.data.end());
    if (size % 2 != 0)
      out.push_back(0);
  }
  return out;
}

Bytes IptcBlock(const std::vector<IptcRecord>& records) {
  Bytes out;
  for (const IptcRecord& record : records) {
    size_t size = record.data.size();
    out.insert(out.end(), {0x1C, record.record, record.dataset, static_cast<uint8_t>(size >> 8),
                           static_cast<uint8_t>(size)});
    out.insert(out.end(), record.data.begin(), record.data.end());
  }
  return out;
}
