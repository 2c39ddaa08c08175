#pragma once
// A handler table with every slot filled, writing what the walker reports as readable lines.

#include <cstdint>
#include <string>
#include <vector>

#include "exif/metadata_handlers.h"

// Bytes as text: printable ASCII as is, everything else as \xHH.
std::string Printable(const uint8_t* bytes, size_t length);

struct RecordedEntry {
  uint16_t tag;
  uint16_t type;
  uint32_t count;
  uint32_t valueOffset;
  uint32_t longValue;
  std::string values; // count × elementSize bytes at valuePointer, at least the 4-byte field
  bool gps;

  bool operator==(const RecordedEntry&) const = default;
};

class Recorder {
public:
  Recorder();
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  // Lines such as "segment 0 hello", "exif begin 120", "exif 0132", "gps 0002", "exif end",
  // "iptc begin 20", "iptc 2:55 20190704", "iptc end".
  std::vector<std::string> events;
  std::vector<RecordedEntry> entries;
  MetadataHandlers table;
  int beginResult = 1;
};
