#pragma once
// A file's bytes as every walker reads them: at an offset, only inside the file, and within one
// budget of bytes and views for the whole file, so no file can make the walkers read much, long
// or outside it. From a file a view is copied into the caller's scratch buffer; in memory (a
// block already read, tests, fuzzing) it points into the bytes, so both behave the same.

#include <cstddef>
#include <cstdint>
#include <memory>

// Reads exactly size bytes at offset into out.
using ReadAtFunction = bool (*)(void* file, uint64_t offset, uint8_t* out, size_t size);

// Where views from a file are copied to; one per view that must stay valid beside another.
struct Scratch {
  std::unique_ptr<uint8_t[]> bytes;
  size_t capacity = 0;
};

struct ByteSource {
  uint64_t size;
  const uint8_t* memory; // all size bytes, or null when they are read through readAt
  ReadAtFunction readAt;
  void* file;
  uint64_t bytesLeft;
  uint32_t viewsLeft;
  // The block of the file read last: the small views of a walk mostly lie in one.
  Scratch block = {};
  uint64_t blockAt = 0;
  uint64_t blockSize = 0;
};

// What one file may cost: 16 MiB in at most 4,096 views (README's Exif section says why). A file
// is read in blocks of 32 KiB where a view is smaller.
inline constexpr uint64_t kFileBytesRead = 16u << 20;
inline constexpr uint32_t kFileViews = 4096;
inline constexpr uint64_t kFileBlock = 32u << 10;
inline constexpr uint64_t kUnbounded = UINT64_MAX;

ByteSource MemorySource(const uint8_t* data, size_t size, uint64_t bytes = kFileBytesRead,
                        uint32_t views = kFileViews);
ByteSource FileSource(uint64_t size, ReadAtFunction readAt, void* file);

// size bytes at offset, valid until scratch is used again; null when they lie outside the
// source, the budget cannot pay for them or the read fails. A view is paid for first, so no
// length from a file is allocated before it has been checked against the file and the budget.
const uint8_t* View(ByteSource* source, uint64_t offset, uint64_t size, Scratch* scratch);
