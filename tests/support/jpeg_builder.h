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

// One IFD entry. Values of more than 4 bytes (and all rationals) go after the IFDs and the entry
// holds their offset, unless valueField states the field outright.
struct TiffField {
  uint16_t tag, type;
  uint32_t count;
  std::vector<uint32_t> numbers; // SHORT, LONG and rational parts
  std::string text;              // ASCII, BYTE and every other one-byte type
  std::optional<uint32_t> valueField;
};

TiffField Ascii(uint16_t tag, const std::string& text); // a NUL is added and counted
TiffField RawField(uint16_t tag, uint16_t type, uint32_t count, uint32_t valueField);

using Ifd = std::vector<TiffField>;

// The header, the chain, the Exif and the GPS IFD in that order, then the values they point to.
// IFD0 gets the pointers to the Exif and GPS IFDs that are present; the Exif one can be left out.
struct TiffLayout {
  ByteOrder order = ByteOrder::kIntel;
  std::vector<Ifd> chain; // IFD0 and the IFDs linked after it
  std::optional<Ifd> exif, gps;
  bool linkExif = true;
};

struct BuiltTiff {
  Bytes bytes;
};

BuiltTiff BuildTiff(const TiffLayout& layout);

// SOI, the parts in order, EOI. Exif puts "Exif", NUL and a pad byte before the TIFF block; Scan
// adds a start-of-scan segment and scan bytes (every FF stuffed, now and then a restart); Build
// pads with scan bytes before EOI to totalSize when that is larger.
class JpegBuilder {
public:
  JpegBuilder& Jfif();
  JpegBuilder& Segment(uint8_t marker, const Bytes& payload);
  JpegBuilder& Exif(const Bytes& tiff, uint8_t marker = 0xE1);
  JpegBuilder& Scan(size_t length);
  Bytes Build(size_t totalSize = 0) const;

private:
  Bytes body_;
};

// What a camera writes: Make and DateTime in IFD0, a thumbnail IFD1 after it, the Exif IFD with
// the original and digitized dates and an exposure time, and a GPS IFD.
TiffLayout CameraLayout(ByteOrder order, const std::string& dateTime, const std::string& original,
                        const std::string& digitized);
