// Every Exif walker over the fuzzer's bytes as a whole file, whatever they start with, then the
// date path as ReadTimesAndExif runs it. Every handler slot is installed, so every path of a walk
// runs, and each aborts the run on a byte it is given that lies outside the input.
#include <cstdlib>
#include <span>

#include "exif/jpeg_walker.h"
#include "exif/media_dates.h"
#include "exif/png_chunks.h"
#include "exif/webp_chunks.h"

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

// A walk over a whole file leaves the values of tags it does not read unviewed (null).
static int OnTag(const MetadataHandlers*, const TiffEntry* entry, void* input) {
  Check(input, entry->block, entry->blockLength);
  Input block(entry->block, entry->blockLength);
  Check(&block, entry->entryBytes, 12);
  // Values held in the entry have its whole 4-byte field; values elsewhere have exactly theirs.
  uint64_t size = uint64_t{entry->count} * static_cast<uint64_t>(entry->elementSize);
  bool held = entry->valuePointer == entry->entryBytes + 8;
  return entry->valuePointer == nullptr ||
         Check(&block, entry->valuePointer, held && size < 4 ? 4 : size);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input input(data, size);
  MetadataHandlers table = {OnSegment, &input, OnBlock, OnDataset, OnBlock, &input,
                            OnBlock,   OnTag,  OnTag,   OnBlock,   &input};
  WalkJpegMarkers(data, size, &table);
  ParseExifBlock(&table, data, size); // the same bytes as a bare TIFF block
  ByteSource source = {};
  auto fresh = [&] { // each walk pays from a budget of its own
    source = MemorySource(data, size);
    return &source;
  };
  MovieTimes movie;
  WalkIsoBoxes(fresh(), &table, &movie);
  WalkPngChunks(fresh(), &table);
  WalkWebpChunks(fresh(), &table);
  ParseTiffStructure(&table, fresh(), kTiffFileReading); // RAW headers, only the dates' values
  DateRecord dates[3] = {};
  TimesRequest request = {0, nullptr, nullptr, &dates[0], &dates[1], &dates[2]};
  ReadMediaDates(fresh(), &request, &movie);
  return 0;
}
