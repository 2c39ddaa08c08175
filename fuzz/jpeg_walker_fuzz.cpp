// Every handler slot is installed, so every path of the walk runs, and each handler reads every
// byte it is given: a pointer or length that strays outside the input shows under the sanitizer.
#include <cstdint>
#include <cstdlib>

#include "exif/iptc_walker.h"
#include "exif/jpeg_walker.h"
#include "exif/tiff_walker.h"

namespace {

struct Input {
  const uint8_t* data;
  size_t size;
};

volatile uint32_t g_sink;

void Require(bool condition) {
  if (!condition)
    std::abort();
}

void RequireInside(const Input& input, const uint8_t* bytes, uint64_t length) {
  Require(bytes >= input.data && length <= input.size &&
          static_cast<uint64_t>(bytes - input.data) <= input.size - length);
}

uint32_t Checksum(const uint8_t* bytes, size_t length) {
  uint32_t sum = 0;
  for (size_t i = 0; i < length; ++i)
    sum = sum * 31 + bytes[i];
  return sum;
}

int OnSegment(const MetadataHandlers*, SegmentKind kind, const uint8_t* payload, size_t length,
              void* context) {
  RequireInside(*static_cast<Input*>(context), payload, length);
  Require(kind >= kSegmentText && kind <= kSegmentBinary && length > 0);
  g_sink = g_sink + Checksum(payload, length);
  return 1;
}

int OnBlock(const MetadataHandlers*, size_t length, void* context) {
  Require(length <= static_cast<Input*>(context)->size);
  g_sink = g_sink + static_cast<uint32_t>(length);
  return 1;
}

int OnDataset(const MetadataHandlers*, const IptcDataset* dataset, void* context) {
  RequireInside(*static_cast<Input*>(context), dataset->data, dataset->length);
  Require(dataset->length > 0 && dataset->length < 0x8000);
  g_sink = g_sink + Checksum(dataset->data, dataset->length) + dataset->record + dataset->dataset;
  return 1;
}

int OnTag(const MetadataHandlers*, const TiffEntry* entry, void* context) {
  const Input& input = *static_cast<Input*>(context);
  RequireInside(input, entry->block, entry->blockLength);
  Input block = {entry->block, entry->blockLength};
  RequireInside(block, entry->entryBytes, 12);
  uint64_t valueBytes = uint64_t{entry->count} * static_cast<uint64_t>(entry->elementSize);
  // Values held in the entry have its whole 4-byte field; values elsewhere have exactly theirs.
  bool held = entry->valuePointer == entry->entryBytes + 8;
  RequireInside(block, entry->valuePointer, held && valueBytes < 4 ? 4 : valueBytes);
  g_sink = g_sink + Checksum(entry->entryBytes, 12) +
           Checksum(entry->valuePointer, static_cast<size_t>(valueBytes)) + entry->longValue;
  return 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input input = {data, size};
  MetadataHandlers table = {};
  table.segmentHandler = OnSegment;
  table.segmentContext = &input;
  table.iptcBegin = OnBlock;
  table.iptcDataset = OnDataset;
  table.iptcEnd = OnBlock;
  table.iptcContext = &input;
  table.exifBegin = OnBlock;
  table.exifTag = OnTag;
  table.gpsTag = OnTag;
  table.exifEnd = OnBlock;
  table.exifContext = &input;
  WalkJpegMarkers(data, size, &table);
  // The same bytes taken as a bare TIFF block and as a Photoshop payload reach the inner walkers
  // without a segment around them.
  ParseExifBlock(&table, data, size);
  size_t iptcOffset = 0;
  size_t iptcLength = 0;
  if (FindPhotoshopIptc(data, size, &iptcOffset, &iptcLength)) {
    RequireInside(input, data + iptcOffset, iptcLength);
    WalkIptcRecords(&table, data + iptcOffset, iptcLength);
  }
  return 0;
}
