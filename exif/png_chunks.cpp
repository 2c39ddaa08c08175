#include "exif/png_chunks.h"

#include "exif/byte_reader.h"
#include "exif/tiff_walker.h"

using namespace std::string_view_literals;

namespace {

constexpr uint64_t kSignatureSize = 8;
// PNG's own limit on a chunk's length.
constexpr uint32_t kLongestChunk = 0x7FFFFFFF;

} // namespace

// Each chunk: its length, its type, its data and a CRC. An eXIf chunk may also follow the image
// data, as some writers put it.
void WalkPngChunks(ByteSource* source, const MetadataHandlers* table) {
  Scratch header, data;
  for (uint64_t at = kSignatureSize;;) {
    const uint8_t* chunk = View(source, at, 8, &header);
    if (chunk == nullptr)
      return;
    uint64_t length = ReadU32(chunk, true);
    if (length > kLongestChunk || !RangeFits(at, 12 + length, source->size) ||
        StartsWith(chunk + 4, 4, "IEND"sv))
      return;
    const uint8_t* exif =
        StartsWith(chunk + 4, 4, "eXIf"sv) ? View(source, at + 8, length, &data) : nullptr;
    if (exif != nullptr)
      ParseExifPayload(table, exif, static_cast<size_t>(length));
    at += 12 + length;
  }
}
