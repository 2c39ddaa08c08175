#include "exif/iptc_walker.h"

#include "exif/byte_reader.h"

using namespace std::string_view_literals;

namespace {

constexpr std::string_view kPhotoshop3 = "Photoshop 3.0\0"sv;
constexpr std::string_view kOlderPhotoshop = "Photoshop\0"sv;
constexpr uint16_t kIptcResourceId = 0x0404;
constexpr uint8_t kIptcTagMarker = 0x1C;
// Tag marker, record number, dataset number and a 16-bit length.
constexpr size_t kDatasetHeader = 5;

uint64_t PaddedToEven(uint64_t size) {
  return size + (size & 1);
}

} // namespace

bool FindIptcResource(const uint8_t* payload, size_t length, size_t* dataOffset,
                      size_t* dataLength) {
  uint64_t pos = kPhotoshop3.size();
  // "8BIM", the 16-bit id and the name's length byte.
  while (RangeFits(pos, 7, length) && StartsWith(payload + pos, length - pos, "8BIM"sv)) {
    uint16_t id = ReadU16(payload + pos + 4, true);
    uint64_t sizeAt = pos + 6 + PaddedToEven(1 + uint64_t{payload[pos + 6]});
    if (!RangeFits(sizeAt, 4, length))
      return false;
    uint64_t dataAt = sizeAt + 4;
    uint64_t size = ReadU32(payload + sizeAt, true);
    if (!RangeFits(dataAt, size, length))
      return false;
    if (id == kIptcResourceId) {
      *dataOffset = static_cast<size_t>(dataAt);
      *dataLength = static_cast<size_t>(size);
      return true;
    }
    pos = dataAt + PaddedToEven(size);
  }
  return false;
}

bool FindPhotoshopIptc(const uint8_t* payload, size_t length, size_t* dataOffset,
                       size_t* dataLength) {
  if (StartsWith(payload, length, kPhotoshop3))
    return FindIptcResource(payload, length, dataOffset, dataLength);
  if (!StartsWith(payload, length, kOlderPhotoshop) || length == kOlderPhotoshop.size())
    return false;
  *dataOffset = kOlderPhotoshop.size();
  *dataLength = length - kOlderPhotoshop.size();
  return true;
}

void WalkIptcRecords(const MetadataHandlers* table, const uint8_t* data, size_t length) {
  if (table == nullptr || table->iptcBegin == nullptr || table->iptcDataset == nullptr ||
      table->iptcEnd == nullptr)
    return;
  if (table->iptcBegin(table, length, table->iptcContext) == 0)
    return;
  size_t pos = 0;
  while (pos < length) {
    if (data[pos] == kIptcTagMarker && RangeFits(pos, kDatasetHeader, length)) {
      uint16_t size = ReadU16(data + pos + 3, true);
      // A set top bit announces an extended length, which is not read.
      if (size != 0 && (size & 0x8000) == 0 && RangeFits(pos + kDatasetHeader, size, length)) {
        IptcDataset dataset = {data[pos + 1], data[pos + 2], data + pos + kDatasetHeader, size};
        table->iptcDataset(table, &dataset, table->iptcContext);
        pos += kDatasetHeader + size;
        continue;
      }
    }
    ++pos;
  }
  table->iptcEnd(table, 0, table->iptcContext);
}
