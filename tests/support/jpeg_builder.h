#pragma once
// Builds JPEG files with an Exif segment, and plain TIFF blocks, for tests, fuzz seeds and the
// benchmark. Portable: no Win32.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

enum class ByteOrder { kIntel, kMotorola }; // "II", "MM"

// One IFD entry. Values of more than 4 bytes (and all rationals) go to the block's data area
// and the entry holds their offset, unless valueField states the field outright.
struct TiffField {
  uint16_t tag;
  uint16_t type;
  uint32_t count;
  std::vector<uint32_t> numbers; // SHORT, LONG and rational parts
  std::string text;              // ASCII, BYTE and every other one-byte type
  std::optional<uint32_t> valueField;
};

TiffField Ascii(uint16_t tag, const std::string& text); // a NUL is added and counted
TiffField AsciiWithoutNul(uint16_t tag, const std::string& text);
TiffField Short(uint16_t tag, uint16_t value);
TiffField Long(uint16_t tag, uint32_t value);
TiffField Rational(uint16_t tag, uint32_t numerator, uint32_t denominator);
TiffField RawField(uint16_t tag, uint16_t type, uint32_t count, uint32_t valueField);

using Ifd = std::vector<TiffField>;

struct TiffLayout {
  ByteOrder order = ByteOrder::kIntel;
  std::vector<Ifd> chain; // IFD0 and the IFDs linked after it
  std::optional<Ifd> exif;
  std::optional<Ifd> gps;
  // IFD0 gets the pointers to the Exif and GPS IFDs that are present, unless switched off.
  bool linkExif = true;
  bool linkGps = true;
};

struct BuiltTiff {
  Bytes bytes;
  std::vector<uint32_t> chainOffsets;
  uint32_t exifOffset = 0;
  uint32_t gpsOffset = 0;
};

BuiltTiff BuildTiff(const TiffLayout& layout);

// Where the next-IFD link of the IFD at ifdOffset sits.
size_t NextLinkAt(const Bytes& tiff, uint32_t ifdOffset, ByteOrder order);
void PutU32(Bytes& bytes, size_t at, uint32_t value, ByteOrder order);

// Bytes that look like entropy-coded scan data: every FF is stuffed with 00, and restart
// markers appear now and then. The same seed gives the same bytes.
Bytes ScanBytes(size_t length, uint32_t seed);

class JpegBuilder {
public:
  JpegBuilder& Jfif();
  JpegBuilder& Segment(uint8_t marker, const Bytes& payload);
  // "Exif", NUL, pad byte, then the TIFF block.
  JpegBuilder& Exif(const Bytes& tiff, uint8_t marker = 0xE1);
  JpegBuilder& Raw(const Bytes& bytes);
  // A start-of-scan segment followed by scan bytes.
  JpegBuilder& Scan(size_t length);

  // SOI, the parts and EOI; scan bytes before EOI pad the file to totalSize when it is larger.
  Bytes Build(size_t totalSize = 0) const;

private:
  Bytes body_;
};

// An Exif payload ("Exif", NUL, pad) around a TIFF block.
Bytes ExifPayload(const Bytes& tiff);

// What a camera writes: Make and DateTime in IFD0, a thumbnail IFD1 after it, the Exif IFD with
// the original and digitized dates and an exposure time, and a GPS IFD.
TiffLayout CameraLayout(ByteOrder order, const std::string& dateTime, const std::string& original,
                        const std::string& digitized);

struct PhotoshopResource {
  uint16_t id;
  std::string name;
  Bytes data;
};

// A "Photoshop 3.0" payload of "8BIM" resources: names as even-padded Pascal strings, data
// padded to even.
Bytes PhotoshopPayload(const std::vector<PhotoshopResource>& resources);

struct IptcRecord {
  uint8_t record;
  uint8_t dataset;
  std::string data;
};

Bytes IptcBlock(const std::vector<IptcRecord>& records);
