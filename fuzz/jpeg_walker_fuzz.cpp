// Every handler slot is installed, so every path of the walk runs, and each handler reads every
// byte it is given: a pointer or length that strays outside the input shows under the sanitizer.
#include <cstdlib>

#include "exif/jpeg_walker.h"
#include "exif/tiff_walker.h"

namespace {

struct Input {
  const uint8_t* data;
  size_t size;
};

volatile uint8_t g_sink;

// Reads the length bytes at bytes; aborts unless they lie inside the Input within.
void Read(const void* within, const uint8_t* bytes, uint64_t length) {
  const Input& in = *static_cast<const Input*>(within);
  if (bytes < in.data || length > in.size ||
      static_cast<uint64_t>(bytes - in.data) > in.size - length)
    std::abort();
  for (uint64_t i = 0; i < length; ++i)
    g_sink = g_sink ^ bytes[i];
}

int OnSegment(const MetadataHandlers*, SegmentKind, const uint8_t* payload, size_t length,
              void* input) {
  Read(input, payload, length);
  return 1;
}

int OnBlock(const MetadataHandlers*, size_t length, void* input) {
  Read(input, static_cast<Input*>(input)->data, length);
  return 1;
}

int OnDataset(const MetadataHandlers*, const IptcDataset* dataset, void* input) {
  Read(input, dataset->data, dataset->length);
  return 1;
}

int OnTag(const MetadataHandlers*, const TiffEntry* entry, void* input) {
  Read(input, entry->block, entry->blockLength);
  Input block = {entry->block, entry->blockLength};
  Read(&block, entry->entryBytes, 12);
  // Values held in the entry have its whole 4-byte field; values elsewhere have exactly theirs.
  uint64_t size = uint64_t{entry->count} * static_cast<uint64_t>(entry->elementSize);
  bool held = entry->valuePointer == entry->entryBytes + 8;
  Read(&block, entry->valuePointer, held && size < 4 ? 4 : size);
  return 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input input = {data, size};
  MetadataHandlers table = {OnSegment, &input, OnBlock, OnDataset, OnBlock, &input,
                            OnBlock,   OnTag,  OnTag,   OnBlock,   &input};
  WalkJpegMarkers(data, size, &table);
  // The same bytes as a bare TIFF block reach the TIFF walker without a segment around them.
  ParseExifBlock(&table, data, size);
  return 0;
}
