#pragma once
// Bounds and number reading shared by the walkers. Offsets and sizes from a file are checked in
// 64 bits, so no stated offset or count can wrap past a check.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// True when size bytes starting at offset lie within length bytes.
inline bool RangeFits(uint64_t offset, uint64_t size, uint64_t length) {
  return offset <= length && size <= length - offset;
}

inline uint16_t ReadU16(const uint8_t* bytes, bool bigEndian) {
  return bigEndian ? static_cast<uint16_t>(bytes[0] << 8 | bytes[1])
                   : static_cast<uint16_t>(bytes[1] << 8 | bytes[0]);
}

inline uint32_t ReadU32(const uint8_t* bytes, bool bigEndian) {
  uint32_t high = ReadU16(bytes + (bigEndian ? 0 : 2), bigEndian);
  uint32_t low = ReadU16(bytes + (bigEndian ? 2 : 0), bigEndian);
  return high << 16 | low;
}

inline uint64_t ReadU64(const uint8_t* bytes, bool bigEndian) {
  uint64_t high = ReadU32(bytes + (bigEndian ? 0 : 4), bigEndian);
  return high << 32 | ReadU32(bytes + (bigEndian ? 4 : 0), bigEndian);
}

inline bool StartsWith(const uint8_t* bytes, size_t length, std::string_view prefix) {
  return length >= prefix.size() && std::memcmp(bytes, prefix.data(), prefix.size()) == 0;
}
