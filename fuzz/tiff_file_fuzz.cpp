// A whole TIFF-structured file as the reader walks one (RAW headers taken, only the dates' values
// read), with every handler slot checking.
#include "exif/media_dates.h"
#include "exif/tiff_walker.h"
#include "fuzz/checking_handlers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return WalkChecked(data, size, [](ByteSource* source, const MetadataHandlers* table) {
    ParseTiffStructure(table, source, kTiffFileReading);
  });
}
