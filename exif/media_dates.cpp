#include "exif/media_dates.h"

#include <algorithm>

#include "exif/byte_reader.h"
#include "exif/exif_date.h"
#include "exif/png_chunks.h"
#include "exif/tiff_walker.h"
#include "exif/webp_chunks.h"

using namespace std::string_view_literals;

namespace {

// JPEG and TIFF-structured files this small are never examined; the limit is 65535, not 65536.
constexpr uint64_t kLargestSkippedSize = 65535;
// How much is scanned for JPEG segments: a JPEG's first MiB, far more than a camera puts before
// its image data; a TIFF-structured file's first block, then the rest of that MiB only when its
// own IFDs give no date, so that a RAW file is read in one block.
constexpr uint64_t kJpegWindow = 1u << 20;
constexpr uint64_t kTiffScanWindow = kFileBlock;
// Enough to tell every format read here.
constexpr uint64_t kHeadSize = 12;

bool StartsLikeJpegOrTiff(const uint8_t* head) {
  return (head[0] == 0xFF && head[1] == 0xD8) || (head[0] == 'I' && head[1] == 'I') ||
         (head[0] == 'M' && head[1] == 'M');
}

bool FoundDate(const TimesRequest& request) {
  for (const DateRecord* date : {request.exifDateTime, request.exifOriginal, request.exifDigitized})
    if (date != nullptr && date->wYear != 0)
      return true;
  return false;
}

void ScanForExif(ByteSource* source, uint64_t window, TimesRequest* request) {
  Scratch bytes;
  uint64_t length = std::min(source->size, window);
  if (const uint8_t* start = View(source, 0, length, &bytes))
    ReadExifDates(start, static_cast<size_t>(length), request);
}

// Today's JPEG scan, also over a TIFF-structured file, so that a JPEG with Exif inside one keeps
// giving its dates: over its first block before the file's own TIFF structure, over the whole
// window only when that gives none.
void ReadJpegOrTiff(ByteSource* source, const MetadataHandlers* table, TimesRequest* request,
                    bool jpeg) {
  if (source->size <= kLargestSkippedSize)
    return;
  if (!jpeg) {
    ScanForExif(source, kTiffScanWindow, request);
    if (!FoundDate(*request))
      ParseTiffStructure(table, source, kTiffFileReading);
  }
  if (!FoundDate(*request))
    ScanForExif(source, kJpegWindow, request);
}

} // namespace

void ReadMediaDates(ByteSource* source, TimesRequest* request, MovieTimes* movie) {
  *movie = {};
  Scratch scratch;
  const uint8_t* head = View(source, 0, kHeadSize, &scratch);
  if (head == nullptr)
    return;
  MetadataHandlers table = DateHandlers(request);
  if (StartsLikeJpegOrTiff(head))
    ReadJpegOrTiff(source, &table, request, head[0] == 0xFF);
  else if (StartsWith(head + 4, 4, "ftyp"sv))
    WalkIsoBoxes(source, &table, movie);
  else if (StartsWith(head, 8, "\x89PNG\r\n\x1A\n"sv))
    WalkPngChunks(source, &table);
  else if (StartsWith(head, 4, "RIFF"sv) && StartsWith(head + 8, 4, "WEBP"sv))
    WalkWebpChunks(source, &table);
  if (FoundDate(*request))
    *movie = {};
}
