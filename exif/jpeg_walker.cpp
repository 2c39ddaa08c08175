#include "exif/jpeg_walker.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "exif/byte_reader.h"
#include "exif/iptc_walker.h"
#include "exif/tiff_walker.h"

using namespace std::string_view_literals;

namespace {

// Entropy-coded data makes up nearly all of a photo, so the search for the next FF sets the pace
// of the whole read; the C library's memchr is a plain byte loop on some targets.
const uint8_t* FindMarkerByte(const uint8_t* from, const uint8_t* end) {
#if defined(__SSE2__)
  const __m128i ff = _mm_set1_epi8(static_cast<char>(0xFF));
  for (; end - from >= 16; from += 16) {
    __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    unsigned found = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, ff)));
    if (found != 0)
      return from + std::countr_zero(found);
  }
#endif
  while (from < end && *from != 0xFF)
    ++from;
  return from;
}

bool IsRestartOrStuffing(uint8_t marker) {
  return marker == 0x00 || (marker >= 0xD0 && marker <= 0xD7);
}

SegmentKind KindOf(const uint8_t* payload, size_t size) {
  if (size > 11 && StartsWith(payload, size, "ICC_PROFILE"sv))
    return kSegmentIccProfile;
  if (size > 5 && StartsWith(payload, size, "Adobe"sv))
    return kSegmentAdobe;
  if (payload[0] > 0x1F)
    return kSegmentText;
  if (size >= 2 && payload[0] == 0 && payload[1] > 0x1F)
    return kSegmentNulLedText;
  return kSegmentBinary;
}

void Report(const MetadataHandlers* table, SegmentKind kind, const uint8_t* payload, size_t size) {
  if (table != nullptr && table->segmentHandler != nullptr)
    table->segmentHandler(table, kind, payload, size, table->segmentContext);
}

} // namespace

void WalkJpegMarkers(const uint8_t* buffer, size_t length, const MetadataHandlers* table) {
  if (buffer == nullptr)
    return;
  size_t pos = 0;
  while (pos < length) {
    pos = static_cast<size_t>(FindMarkerByte(buffer + pos, buffer + length) - buffer);
    // A marker needs its second byte.
    if (pos + 1 >= length)
      return;
    uint8_t marker = buffer[pos + 1];
    if (IsRestartOrStuffing(marker)) {
      pos += 1;
      continue;
    }
    if (marker == 0xD8) {
      pos += 2;
      continue;
    }
    if (marker == 0xD9)
      return;
    // A length below 2 cannot even hold itself: such a segment is passed over like one that
    // runs past the end.
    size_t segmentLength = RangeFits(pos + 2, 2, length) ? ReadU16(buffer + pos + 2, true) : 0;
    if (segmentLength >= 2 && RangeFits(pos + 2, segmentLength, length)) {
      ClassifySegment(marker, buffer + pos + 2, segmentLength, table);
      pos += 2 + segmentLength;
    } else {
      pos += 1;
    }
  }
}

void ClassifySegment(uint8_t marker, const uint8_t* segment, size_t segmentLength,
                     const MetadataHandlers* table) {
  if (marker < 0xE0 || marker > 0xFE || segmentLength < 2)
    return;
  const uint8_t* payload = segment + 2;
  size_t size = segmentLength - 2;
  if (size > 4 && StartsWith(payload, size, "JFIF"sv)) {
    Report(table, kSegmentJfif, payload, size);
    return;
  }
  if (size > 4 && StartsWith(payload, size, "Exif"sv)) {
    // "Exif", its NUL and one pad byte come before the TIFF block.
    if (payload[4] == 0 && size > 6)
      ParseExifBlock(table, payload + 6, size - 6);
    return;
  }
  size_t iptcOffset = 0;
  size_t iptcLength = 0;
  if (FindPhotoshopIptc(payload, size, &iptcOffset, &iptcLength)) {
    WalkIptcRecords(table, payload + iptcOffset, iptcLength);
    return;
  }
  if (size > 0)
    Report(table, KindOf(payload, size), payload, size);
}
