// The WebP chunk walker over a whole file, with every handler slot checking.
#include "exif/webp_chunks.h"
#include "fuzz/checking_handlers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return WalkChecked(data, size, WalkWebpChunks);
}
