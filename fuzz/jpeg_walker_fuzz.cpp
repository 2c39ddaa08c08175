// Every handler slot is installed, so every path of the walk runs, and each handler checks that
// every byte it is given lies inside the input: a pointer or length that strays aborts the run.
#include <cstdlib>
#include <span>

#include "exif/jpeg_walker.h"
#include "exif/tiff_walker.h"

using Input = std::span<const uint8_t>;

static int Check(const void* input, const uint8_t* bytes, uint64_t length) { // 1: "go on"
  const Input& in = *static_cast<const Input*>(input);
  if (bytes < in.data() || length > in.size() || uint64_t(bytes - in.data()) > in.size() - length)
    std::abort();
  return 1;
}

static int OnSegment(const MetadataHandlers*, SegmentKind, const uint8_t* payload, size_t length,
                     void* input) {
  return Check(input, payload, length);
}

static int OnBlock(const MetadataHandlers*, size_t length, void* input) {
  return Check(input, static_cast<Input*>(input)->data(), length);
}

static int OnDataset(const MetadataHandlers*, const IptcDataset* dataset, void* input) {
  return Check(input, dataset->data, dataset->length);
}

static int OnTag(const MetadataHandlers*, const TiffEntry* entry, void* input) {
  Check(input, entry->block, entry->blockLength);
  Input block(entry->block, entry->blockLength);
  Check(&block, entry->entryBytes, 12);
  // Values held in the entry have its whole 4-byte field; values elsewhere have exactly theirs.
  uint64_t size = uint64_t{entry->count} * static_cast<uint64_t>(entry->elementSize);
  bool held = entry->valuePointer == entry->entryBytes + 8;
  return Check(&block, entry->valuePointer, held && size < 4 ? 4 : size);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input input(data, size);
  MetadataHandlers table = {OnSegment, &input, OnBlock, OnDataset, OnBlock, &input,
                            OnBlock,   OnTag,  OnTag,   OnBlock,   &input};
  WalkJpegMarkers(data, size, &table);
  // The same bytes as a bare TIFF block reach the TIFF walker without a segment around them.
  ParseExifBlock(&table, data, size);
  return 0;
}
