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
// How much of a JPEG or TIFF-structured file is scanned for JPEG segments: far more than a
// camera puts before its image data.
constexpr uint64_t kJpegWindow = 1u << 20;
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

// Today's JPEG scan first, also over a TIFF-structured file: a JPEG with Exif inside one keeps
// giving its dates. Only without them does the file's own TIFF structure count.
void ReadJpegOrTiff(ByteSource* source, const MetadataHandlers* table, TimesRequest* request) {
  if (source->size <= kLargestSkippedSize)
    return;
  Scratch window;
  uint64_t length = std::min(source->size, kJpegWindow);
  if (const uint8_t* bytes = View(source, 0, length, &window))
    ReadExifDates(bytes, static_cast<size_t>(length), request);
  if (!FoundDate(*request))
    ParseTiffStructure(table, source, kTiffFileReading);
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
    ReadJpegOrTiff(source, &table, request);
  else if (StartsWith(head + 4, 4, "ftyp"sv))
    WalkIsoBoxes(source, &table, movie);
  else if (StartsWith(head, 8, "\x89PNG\r\n\x1A\n"sv))
    WalkPngChunks(source, &table);
  else if (StartsWith(head, 4, "RIFF"sv) && StartsWith(head + 8, 4, "WEBP"sv))
    WalkWebpChunks(source, &table);
  if (FoundDate(*request))
    *movie = {};
}
