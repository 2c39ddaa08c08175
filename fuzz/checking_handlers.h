#pragma once
// Every handler slot installed, so every path of a walk runs, and each handler checks that every
// byte it is given lies inside the input: a pointer or length that strays aborts the run.
#include <cstdlib>
#include <span>

#include "exif/byte_source.h"
#include "exif/metadata_handlers.h"

using Input = std::span<const uint8_t>;

inline int Check(const void* input, const uint8_t* bytes, uint64_t length) { // 1: "go on"
  const Input& in = *static_cast<const Input*>(input);
  if (bytes < in.data() || length > in.size() || uint64_t(bytes - in.data()) > in.size() - length)
    std::abort();
  return 1;
}

inline int OnSegment(const MetadataHandlers*, SegmentKind, const uint8_t* payload, size_t length,
                     void* input) {
  return Check(input, payload, length);
}

inline int OnBlock(const MetadataHandlers*, size_t length, void* input) {
  return Check(input, static_cast<Input*>(input)->data(), length);
}

inline int OnDataset(const MetadataHandlers*, const IptcDataset* dataset, void* input) {
  return Check(input, dataset->data, dataset->length);
}

// A walk over a whole file may leave the values of tags it does not read unviewed (null).
inline int OnTag(const MetadataHandlers*, const TiffEntry* entry, void* input) {
  Check(input, entry->block, entry->blockLength);
  Input block(entry->block, entry->blockLength);
  Check(&block, entry->entryBytes, 12);
  // Values held in the entry have its whole 4-byte field; values elsewhere have exactly theirs.
  uint64_t size = uint64_t{entry->count} * static_cast<uint64_t>(entry->elementSize);
  bool held = entry->valuePointer == entry->entryBytes + 8;
  return entry->valuePointer == nullptr ||
         Check(&block, entry->valuePointer, held && size < 4 ? 4 : size);
}

inline MetadataHandlers CheckingHandlers(Input* input) {
  return {OnSegment, input, OnBlock, OnDataset, OnBlock, input,
          OnBlock,   OnTag, OnTag,   OnBlock,   input};
}

// Runs a walker over the input as a file in memory, with the checking handlers.
template <typename Walk> int WalkChecked(const uint8_t* data, size_t size, Walk walk) {
  Input input(data, size);
  MetadataHandlers table = CheckingHandlers(&input);
  ByteSource source = MemorySource(data, size);
  walk(&source, &table);
  return 0;
}
