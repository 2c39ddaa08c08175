// The JPEG walker, and the same bytes as a bare TIFF block, with every handler slot checking.
#include "exif/jpeg_walker.h"
#include "exif/tiff_walker.h"
#include "fuzz/checking_handlers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input input(data, size);
  MetadataHandlers table = CheckingHandlers(&input);
  WalkJpegMarkers(data, size, &table);
  // The same bytes as a bare TIFF block reach the TIFF walker without a segment around them.
  ParseExifBlock(&table, data, size);
  return 0;
}
