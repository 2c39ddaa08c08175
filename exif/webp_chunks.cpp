#include "exif/webp_chunks.h"

#include "exif/byte_reader.h"
#include "exif/tiff_walker.h"

using namespace std::string_view_literals;

// "RIFF", the length of what follows, "WEBP", then chunks: a type, a length, the data and a pad
// byte after an odd length. A RIFF chunk longer than the file is not walked at all.
void WalkWebpChunks(ByteSource* source, const MetadataHandlers* table) {
  Scratch header, data;
  const uint8_t* riff = View(source, 0, 12, &header);
  if (riff == nullptr)
    return;
  uint64_t end = 8 + uint64_t{ReadU32(riff + 4, false)};
  if (end > source->size)
    return;
  for (uint64_t at = 12; RangeFits(at, 8, end);) {
    const uint8_t* chunk = View(source, at, 8, &header);
    uint64_t length = chunk != nullptr ? ReadU32(chunk + 4, false) : 0;
    if (chunk == nullptr || !RangeFits(at + 8, length, end))
      return;
    const uint8_t* exif =
        StartsWith(chunk, 4, "EXIF"sv) ? View(source, at + 8, length, &data) : nullptr;
    if (exif != nullptr)
      ParseExifPayload(table, exif, static_cast<size_t>(length));
    at += 8 + length + (length & 1);
  }
}
