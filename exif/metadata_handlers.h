#pragma once
// The walker's table of optional handlers. A null slot switches off that part of the walk; every
// pointer a handler receives is valid only during the call.

#include <cstddef>
#include <cstdint>

struct MetadataHandlers;

// What an application or comment segment looks like, as reported to segmentHandler.
enum SegmentKind : int {
  kSegmentText = 0,
  kSegmentJfif = 1,
  kSegmentAdobe = 2,
  kSegmentIccProfile = 3,
  kSegmentNulLedText = 4,
  kSegmentBinary = 5,
};

// TIFF field types the walker sizes; every other type counts as one byte per value.
enum TiffType : uint16_t {
  kTiffByte = 1,
  kTiffAscii = 2,
  kTiffShort = 3,
  kTiffLong = 4,
  kTiffRational = 5,
  kTiffSLong = 9,
  kTiffSRational = 10,
};

// One decoded 12-byte IFD entry. The walker passes an entry only when its count × elementSize
// value bytes at valuePointer lie inside the block.
struct TiffEntry {
  int16_t byteOrder; // 1 for "MM", 0 for "II"
  uint16_t tag;
  uint16_t type;
  const uint8_t* entryBytes;
  int16_t elementSize;
  uint32_t valueOffset; // 0 when the values sit in the entry's own value field
  uint32_t count;
  const uint8_t* valuePointer;
  uint32_t longValue; // the value field for a LONG with a count of at most 1, else 0
  // The block the entry lies in, so a handler that reads more than the values can check it.
  const uint8_t* block;
  size_t blockLength;
};

struct IptcDataset {
  uint16_t record;
  uint16_t dataset;
  const uint8_t* data;
  uint32_t length;
};

using SegmentHandler = int (*)(const MetadataHandlers* table, SegmentKind kind,
                               const uint8_t* payload, size_t length, void* context);
// Begin handlers get the block length and return 0 to skip the block; end handlers get 0.
using BlockHandler = int (*)(const MetadataHandlers* table, size_t length, void* context);
using IptcDatasetHandler = int (*)(const MetadataHandlers* table, const IptcDataset* dataset,
                                   void* context);
using TiffTagHandler = int (*)(const MetadataHandlers* table, const TiffEntry* entry,
                               void* context);

struct MetadataHandlers {
  SegmentHandler segmentHandler;
  void* segmentContext;
  BlockHandler iptcBegin;
  IptcDatasetHandler iptcDataset;
  BlockHandler iptcEnd;
  void* iptcContext;
  BlockHandler exifBegin;
  TiffTagHandler exifTag;
  TiffTagHandler gpsTag;
  BlockHandler exifEnd;
  void* exifContext;
};
