// Runs the walkers FUZZ_WALKS names on the input as a file; aborts on any value out of bounds.
#include <cstdlib>
#include <span>

#include "exif/jpeg_walker.h"
#include "exif/media_dates.h"
#include "exif/png_chunks.h"
#include "exif/webp_chunks.h"

using Input = std::span<const uint8_t>;
static Input g_input; // this run's bytes

static void Check(Input in, const uint8_t* bytes, uint64_t length) {
  if (bytes < in.data() || length > in.size() || uint64_t(bytes - in.data()) > in.size() - length)
    std::abort();
}

// A walk over a whole file leaves the values of tags it does not read unviewed (null).
static int CheckedTag(const MetadataHandlers* table, const TiffEntry* entry, void* request) {
  Input block(entry->block, entry->blockLength);
  Check(g_input, entry->block, entry->blockLength);
  Check(block, entry->entryBytes, 12);
  // Values held in the entry have its whole 4-byte field; values elsewhere have exactly theirs.
  uint64_t size = uint64_t{entry->count} * static_cast<uint64_t>(entry->elementSize);
  bool held = entry->valuePointer == entry->entryBytes + 8;
  if (entry->valuePointer != nullptr)
    Check(block, entry->valuePointer, held && size < 4 ? 4 : size);
  return ExifDateHandler(table, entry, request);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  g_input = Input(data, size);
  DateRecord dates[3] = {};
  TimesRequest request = {0, nullptr, nullptr, &dates[0], &dates[1], &dates[2]};
  MetadataHandlers table = DateHandlers(&request);
  table.exifTag = CheckedTag;
  ByteSource source = {};
  auto fresh = [&] { return &(source = MemorySource(data, size)); }; // a budget for each walk
  MovieTimes movie;
  if (FUZZ_WALKS & 1) // JPEG markers at any size (the program skips JPEGs below 64 KiB), and the
    WalkJpegMarkers(data, size, &table), ParseExifBlock(&table, data, size); // bare TIFF block
  if (FUZZ_WALKS & 2)
    WalkIsoBoxes(fresh(), &table, &movie);
  if (FUZZ_WALKS & 4)
    WalkPngChunks(fresh(), &table);
  if (FUZZ_WALKS & 8)
    WalkWebpChunks(fresh(), &table);
  if (FUZZ_WALKS & 16) // RAW headers, only the dates' values
    ParseTiffStructure(&table, fresh(), kTiffFileReading);
  if (FUZZ_WALKS & 32) // the date path as ReadTimesAndExif runs it
    ReadMediaDates(fresh(), &request, &movie);
  return 0;
}
