// The PNG chunk walker over a whole file, with every handler slot checking.
#include "exif/png_chunks.h"
#include "fuzz/checking_handlers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return WalkChecked(data, size, WalkPngChunks);
}
