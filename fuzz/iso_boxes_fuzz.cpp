// The ISO box walker over a whole file, with every handler slot checking.
#include "exif/iso_boxes.h"
#include "fuzz/checking_handlers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return WalkChecked(data, size, [](ByteSource* source, const MetadataHandlers* table) {
    MovieTimes movie;
    WalkIsoBoxes(source, table, &movie);
  });
}
