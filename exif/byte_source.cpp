#include "exif/byte_source.h"

#include <new>

#include "exif/byte_reader.h"

ByteSource MemorySource(const uint8_t* data, size_t size, uint64_t bytes, uint32_t reads) {
  return {data != nullptr ? size : 0, data, nullptr, nullptr, bytes, reads};
}

ByteSource FileSource(uint64_t size, ReadAtFunction readAt, void* file) {
  return {size, nullptr, readAt, file, kFileBytesRead, kFileReads};
}

const uint8_t* View(ByteSource* source, uint64_t offset, uint64_t size, Scratch* scratch) {
  if (!RangeFits(offset, size, source->size) || size > source->bytesLeft || source->readsLeft == 0)
    return nullptr;
  source->bytesLeft -= size;
  --source->readsLeft;
  if (source->memory != nullptr)
    return source->memory + offset;
  // A view of no bytes still points somewhere.
  if (scratch->capacity < size || !scratch->bytes) {
    size_t capacity = size > 0 ? static_cast<size_t>(size) : 1;
    scratch->bytes.reset(new (std::nothrow) uint8_t[capacity]);
    scratch->capacity = scratch->bytes ? capacity : 0;
  }
  if (!scratch->bytes || !source->readAt(source->file, offset, scratch->bytes.get(), size))
    return nullptr;
  return scratch->bytes.get();
}
