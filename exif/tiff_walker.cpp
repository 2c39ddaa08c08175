#include "exif/tiff_walker.h"

#include "exif/byte_reader.h"

using namespace std::string_view_literals;

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

// TIFF's 42, and the RAW formats' own numbers in its place: Panasonic's "U", Olympus's "RO" and
// "RS" (read in the file's byte order, "IIRO" and "MMOR" give the same number).
bool KnownMagic(uint16_t magic, const TiffReading& reading) {
  return magic == 42 ||
         (reading.rawHeaders && (magic == 0x55 || magic == 0x4F52 || magic == 0x5352));
}

struct TiffWalk {
  ByteSource* source;
  const TiffReading* reading;
  bool bigEndian;
  TiffEntryVisitor visit;
  void* context;
};

void VisitEntry(const TiffWalk& walk, const uint8_t* bytes, uint64_t at, Scratch* values) {
  bool bigEndian = walk.bigEndian;
  uint64_t length = walk.source->size;
  TiffEntry entry = {};
  entry.byteOrder = bigEndian ? 1 : 0;
  entry.tag = ReadU16(bytes, bigEndian);
  entry.type = ReadU16(bytes + 2, bigEndian);
  entry.count = ReadU32(bytes + 4, bigEndian);
  entry.entryBytes = bytes;
  entry.elementSize = ElementSize(entry.type);
  entry.valuePointer = bytes + 8;
  entry.block = walk.source->memory;
  entry.blockLength = static_cast<size_t>(length);
  uint32_t field = ReadU32(bytes + 8, bigEndian);
  uint64_t valueBytes = uint64_t{entry.count} * static_cast<uint64_t>(entry.elementSize);
  bool rational = entry.type == kTiffRational || entry.type == kTiffSRational;
  if (valueBytes > 4 || rational) {
    entry.valueOffset = field;
    // A stated offset of 0 leaves the values at the entry's own field, so that is where they
    // must fit: the view of them checks that they do.
    uint64_t valuesAt = field != 0 ? field : at + 8;
    if (field >= length)
      return;
    entry.valuePointer = nullptr;
    if (walk.reading->wantsValues == nullptr || walk.reading->wantsValues(entry.tag)) {
      // Values from the entry's own field on are viewed with the entry, where a handler sees them.
      bool own = valuesAt == at + 8;
      const uint8_t* view =
          View(walk.source, own ? at : valuesAt, valueBytes + (own ? 8 : 0), values);
      if (view == nullptr)
        return;
      entry.entryBytes = own ? view : bytes;
      entry.valuePointer = own ? view + 8 : view;
    }
  }
  entry.longValue = entry.type == kTiffLong && entry.count <= 1 ? field : 0;
  walk.visit(entry.tag, &entry, walk.context);
}

void WalkIfds(ByteSource* source, const TiffReading& reading, uint32_t startOffset,
              TiffEntryVisitor visit, void* context) {
  uint64_t length = source->size;
  Scratch ifdBytes, values;
  const uint8_t* header = length > 8 ? View(source, 0, 8, &ifdBytes) : nullptr;
  TiffWalk walk = {source, &reading, false, visit, context};
  if (header == nullptr || !ReadByteOrder(header, &walk.bigEndian))
    return;
  bool bigEndian = walk.bigEndian;
  uint64_t offset = startOffset;
  if (startOffset == 0) {
    if (!KnownMagic(ReadU16(header + 2, bigEndian), reading))
      return;
    offset = ReadU32(header + 4, bigEndian);
    if (offset == 0)
      return;
  }
  // IFDs that do not overlap hold at most length / 12 entries in all. Forward links alone still
  // let overlapping IFDs repeat the same bytes thousands of times, so a file made to stall the
  // reader ends here instead (and a file's walk at its budget).
  uint64_t entriesLeft = length / kEntrySize;
  while (RangeFits(offset, 2, length)) {
    const uint8_t* countBytes = View(source, offset, 2, &ifdBytes);
    if (countBytes == nullptr)
      return;
    uint64_t count = ReadU16(countBytes, bigEndian);
    uint64_t entries = offset + 2;
    if (count > entriesLeft)
      return;
    entriesLeft -= count;
    // The entries with the link after them, or alone where the link is cut off.
    uint64_t nextAt = entries + kEntrySize * count;
    bool linked = RangeFits(nextAt, 4, length);
    const uint8_t* ifd = View(source, entries, kEntrySize * count + (linked ? 4 : 0), &ifdBytes);
    if (ifd == nullptr)
      return;
    for (uint64_t i = 0; i < count; ++i)
      VisitEntry(walk, ifd + kEntrySize * i, entries + kEntrySize * i, &values);
    if (!linked)
      return;
    // Only forward links are followed, so a chain cannot loop.
    uint64_t next = ReadU32(ifd + kEntrySize * count, bigEndian);
    if (next <= offset || next > length)
      return;
    offset = next;
  }
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
  // A block in memory is bounded by its length alone.
  ByteSource source = MemorySource(block, length, kUnbounded, UINT32_MAX);
  WalkIfds(&source, kExifBlockReading, startOffset, visit, context);
}

void ParseTiffStructure(const MetadataHandlers* table, ByteSource* source,
                        const TiffReading& reading) {
  IfdPointers pointers;
  WalkIfds(source, reading, 0, NotePointers, &pointers);
  if ((pointers.exif == 0 && !reading.withoutExifIfd) || table == nullptr)
    return;
  if (table->exifBegin == nullptr || table->exifTag == nullptr || table->exifEnd == nullptr)
    return;
  if (table->exifBegin(table, static_cast<size_t>(source->size), table->exifContext) == 0)
    return;
  TagForwarder tags = {table, table->exifTag};
  WalkIfds(source, reading, 0, ForwardTag, &tags);
  if (pointers.exif != 0)
    WalkIfds(source, reading, pointers.exif, ForwardTag, &tags);
  if (pointers.gps != 0 && table->gpsTag != nullptr) {
    TagForwarder gps = {table, table->gpsTag};
    WalkIfds(source, reading, pointers.gps, ForwardTag, &gps);
  }
  table->exifEnd(table, 0, table->exifContext);
}

void ParseExifBlock(const MetadataHandlers* table, const uint8_t* block, size_t length) {
  ByteSource source = MemorySource(block, length, kUnbounded, UINT32_MAX);
  ParseTiffStructure(table, &source, kExifBlockReading);
}

void ParseExifPayload(const MetadataHandlers* table, const uint8_t* data, size_t length) {
  size_t skip = StartsWith(data, length, "Exif\0\0"sv) ? 6 : 0;
  ParseExifBlock(table, data + skip, length - skip);
}
