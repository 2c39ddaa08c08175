#include "exif/tiff_walker.h"

#include "exif/byte_reader.h"

namespace {

constexpr uint16_t kExifIfdPointerTag = 0x8769;
constexpr uint16_t kGpsIfdPointerTag = 0x8825;
constexpr size_t kEntrySize = 12;

int16_t ElementSize(uint16_t type) {
  switch (type) {
  case kTiffShort:
    return 2;
  case kTiffLong:
  case kTiffSLong:
    return 4;
  case kTiffRational:
  case kTiffSRational:
    return 8;
  default:
    return 1;
  }
}

bool ReadByteOrder(const uint8_t* block, bool* bigEndian) {
  if (block[0] == 'I' && block[1] == 'I')
    *bigEndian = false;
  else if (block[0] == 'M' && block[1] == 'M')
    *bigEndian = true;
  else
    return false;
  return true;
}

void VisitEntry(const uint8_t* block, size_t length, bool bigEndian, size_t at,
                TiffEntryVisitor visit, void* context) {
  const uint8_t* bytes = block + at;
  TiffEntry entry = {};
  entry.byteOrder = bigEndian ? 1 : 0;
  entry.tag = ReadU16(bytes, bigEndian);
  entry.type = ReadU16(bytes + 2, bigEndian);
  entry.count = ReadU32(bytes + 4, bigEndian);
  entry.entryBytes = bytes;
  entry.elementSize = ElementSize(entry.type);
  entry.valuePointer = bytes + 8;
  entry.block = block;
  entry.blockLength = length;
  uint32_t field = ReadU32(bytes + 8, bigEndian);
  uint64_t valueBytes = uint64_t{entry.count} * static_cast<uint64_t>(entry.elementSize);
  bool rational = entry.type == kTiffRational || entry.type == kTiffSRational;
  if (valueBytes > 4 || rational) {
    entry.valueOffset = field;
    // A stated offset of 0 leaves the values at the entry's own field, so that is where they
    // must fit.
    uint64_t valuesAt = field != 0 ? field : at + 8;
    if (field >= length || !RangeFits(valuesAt, valueBytes, length))
      return;
    entry.valuePointer = block + valuesAt;
  }
  entry.longValue = entry.type == kTiffLong && entry.count <= 1 ? field : 0;
  visit(entry.tag, &entry, context);
}

struct IfdPointers {
  uint32_t exif = 0;
  uint32_t gps = 0;
};

void NotePointers(uint16_t tag, const TiffEntry* entry, void* context) {
  auto* pointers = static_cast<IfdPointers*>(context);
  if (tag == kExifIfdPointerTag)
    pointers->exif = entry->longValue;
  else if (tag == kGpsIfdPointerTag)
    pointers->gps = entry->longValue;
}

struct TagForwarder {
  const MetadataHandlers* table;
  TiffTagHandler handler;
};

void ForwardTag(uint16_t, const TiffEntry* entry, void* context) {
  auto* forwarder = static_cast<TagForwarder*>(context);
  forwarder->handler(forwarder->table, entry, forwarder->table->exifContext);
}

} // namespace

void WalkTiffIfds(const uint8_t* block, size_t length, uint32_t startOffset, TiffEntryVisitor visit,
                  void* context) {
  bool bigEndian = false;
  if (block == nullptr || length <= 8 || !ReadByteOrder(block, &bigEndian))
    return;
  uint64_t offset = startOffset;
  if (startOffset == 0) {
    if (ReadU16(block + 2, bigEndian) != 42)
      return;
    offset = ReadU32(block + 4, bigEndian);
    if (offset == 0)
      return;
  }
  // IFDs that do not overlap hold at most length / 12 entries in all. Forward links alone still
  // let overlapping IFDs repeat the same bytes thousands of times, so a file made to stall the
  // reader ends here instead.
  uint64_t entriesLeft = length / kEntrySize;
  while (RangeFits(offset, 2, length)) {
    uint64_t count = ReadU16(block + offset, bigEndian);
    uint64_t entries = offset + 2;
    if (!RangeFits(entries, kEntrySize * count, length) || count > entriesLeft)
      return;
    entriesLeft -= count;
    for (uint64_t i = 0; i < count; ++i)
      VisitEntry(block, length, bigEndian, entries + kEntrySize * i, visit, context);
    uint64_t nextAt = entries + kEntrySize * count;
    if (!RangeFits(nextAt, 4, length))
      return;
    // Only forward links are followed, so a chain cannot loop.
    uint64_t next = ReadU32(block + nextAt, bigEndian);
    if (next <= offset || next > length)
      return;
    offset = next;
  }
}

void ParseExifBlock(const MetadataHandlers* table, const uint8_t* block, size_t length) {
  IfdPointers pointers;
  WalkTiffIfds(block, length, 0, NotePointers, &pointers);
  if (pointers.exif == 0 || table == nullptr)
    return;
  if (table->exifBegin == nullptr || table->exifTag == nullptr || table->exifEnd == nullptr)
    return;
  if (table->exifBegin(table, length, table->exifContext) == 0)
    return;
  TagForwarder tags = {table, table->exifTag};
  WalkTiffIfds(block, length, 0, ForwardTag, &tags);
  WalkTiffIfds(block, length, pointers.exif, ForwardTag, &tags);
  if (pointers.gps != 0 && table->gpsTag != nullptr) {
    TagForwarder gps = {table, table->gpsTag};
    WalkTiffIfds(block, length, pointers.gps, ForwardTag, &gps);
  }
  table->exifEnd(table, 0, table->exifContext);
}
