#include "exif/byte_source.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "exif/byte_reader.h"

namespace {

// A view of no bytes still points somewhere.
bool Reserve(Scratch* scratch, uint64_t size) {
  if (scratch->capacity < size || !scratch->bytes) {
    size_t capacity = size > 0 ? static_cast<size_t>(size) : 1;
    scratch->bytes.reset(new (std::nothrow) uint8_t[capacity]);
    scratch->capacity = scratch->bytes ? capacity : 0;
  }
  return scratch->bytes != nullptr;
}

} // namespace

ByteSource MemorySource(const uint8_t* data, size_t size, uint64_t bytes, uint32_t views) {
  return {data != nullptr ? size : 0, data, nullptr, nullptr, bytes, views};
}

ByteSource FileSource(uint64_t size, ReadAtFunction readAt, void* file) {
  return {size, nullptr, readAt, file, kFileBytesRead, kFileViews};
}

const uint8_t* View(ByteSource* source, uint64_t offset, uint64_t size, Scratch* scratch) {
  if (!RangeFits(offset, size, source->size) || size > source->bytesLeft || source->viewsLeft == 0)
    return nullptr;
  source->bytesLeft -= size;
  --source->viewsLeft;
  if (source->memory != nullptr)
    return source->memory + offset;
  if (!Reserve(scratch, size))
    return nullptr;
  if (size > kFileBlock)
    return source->readAt(source->file, offset, scratch->bytes.get(), size) ? scratch->bytes.get()
                                                                            : nullptr;
  if (offset < source->blockAt || offset + size > source->blockAt + source->blockSize) {
    uint64_t block = std::min(kFileBlock, source->size - offset);
    source->blockSize = 0;
    if (!Reserve(&source->block, kFileBlock) ||
        !source->readAt(source->file, offset, source->block.bytes.get(), block))
      return nullptr;
    source->blockAt = offset;
    source->blockSize = block;
  }
  std::memcpy(scratch->bytes.get(), source->block.bytes.get() + (offset - source->blockAt), size);
  return scratch->bytes.get();
}
