#include "tests/exif_recorder.h"

#include <algorithm>
#include <cstdio>

namespace {

Recorder& Of(void* context) {
  return *static_cast<Recorder*>(context);
}

std::string Hex4(uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof(text), "%04x", value);
  return text;
}

int OnSegment(const MetadataHandlers*, SegmentKind kind, const uint8_t* payload, size_t length,
              void* context) {
  Of(context).events.push_back("segment " + std::to_string(kind) + " " +
                               Printable(payload, length));
  return 1;
}

int OnIptcBegin(const MetadataHandlers*, size_t length, void* context) {
  Of(context).events.push_back("iptc begin " + std::to_string(length));
  return Of(context).beginResult;
}

int OnIptcDataset(const MetadataHandlers*, const IptcDataset* dataset, void* context) {
  Of(context).events.push_back("iptc " + std::to_string(dataset->record) + ":" +
                               std::to_string(dataset->dataset) + " " +
                               Printable(dataset->data, dataset->length));
  return 1;
}

int OnIptcEnd(const MetadataHandlers*, size_t length, void* context) {
  Of(context).events.push_back("iptc end" + (length != 0 ? " " + std::to_string(length) : ""));
  return 1;
}

int OnExifBegin(const MetadataHandlers*, size_t length, void* context) {
  Of(context).events.push_back("exif begin " + std::to_string(length));
  return Of(context).beginResult;
}

int OnExifEnd(const MetadataHandlers*, size_t length, void* context) {
  Of(context).events.push_back("exif end" + (length != 0 ? " " + std::to_string(length) : ""));
  return 1;
}

void RecordEntry(const TiffEntry* entry, bool gps, void* context) {
  Of(context).events.push_back((gps ? "gps " : "exif ") + Hex4(entry->tag));
  uint64_t size = uint64_t{entry->count} * static_cast<uint64_t>(entry->elementSize);
  // Values held in the entry fill its whole 4-byte field.
  if (entry->valuePointer == entry->entryBytes + 8)
    size = std::max<uint64_t>(size, 4);
  Of(context).entries.push_back(
      {entry->tag, entry->type, entry->count, entry->valueOffset, entry->longValue,
       std::string(reinterpret_cast<const char*>(entry->valuePointer), size), gps});
}

int OnExifTag(const MetadataHandlers*, const TiffEntry* entry, void* context) {
  RecordEntry(entry, false, context);
  return 1;
}

int OnGpsTag(const MetadataHandlers*, const TiffEntry* entry, void* context) {
  RecordEntry(entry, true, context);
  return 1;
}

} // namespace

std::string Printable(const uint8_t* bytes, size_t length) {
  std::string text;
  for (size_t i = 0; i < length; ++i) {
    if (bytes[i] >= 0x20 && bytes[i] < 0x7F && bytes[i] != '\\') {
      text += static_cast<char>(bytes[i]);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof(escaped), "\\x%02x", bytes[i]);
      text += escaped;
    }
  }
  return text;
}

Recorder::Recorder() : table{} {
  table.segmentHandler = OnSegment;
  table.segmentContext = this;
  table.iptcBegin = OnIptcBegin;
  table.iptcDataset = OnIptcDataset;
  table.iptcEnd = OnIptcEnd;
  table.iptcContext = this;
  table.exifBegin = OnExifBegin;
  table.exifTag = OnExifTag;
  table.gpsTag = OnGpsTag;
  table.exifEnd = OnExifEnd;
  table.exifContext = this;
}
