#include "exif/exif_date.h"

#include <cstdlib>

#include "exif/jpeg_walker.h"

namespace {

struct DateField {
  size_t first;
  size_t length;
  uint16_t DateRecord::*field;
};

constexpr DateField kDateFields[] = {
    {0, 4, &DateRecord::wYear},  {5, 2, &DateRecord::wMonth},   {8, 2, &DateRecord::wDay},
    {11, 2, &DateRecord::wHour}, {14, 2, &DateRecord::wMinute}, {17, 2, &DateRecord::wSecond},
};

struct DateTag {
  uint16_t tag;
  DateRecord* TimesRequest::*output;
};

constexpr DateTag kDateTags[] = {
    {0x0132, &TimesRequest::exifDateTime},
    {0x9003, &TimesRequest::exifOriginal},
    {0x9004, &TimesRequest::exifDigitized},
};

DateRecord* OutputFor(uint16_t tag, TimesRequest* request) {
  for (const DateTag& date : kDateTags) {
    if (date.tag == tag)
      return request->*date.output;
  }
  return nullptr;
}

// A shorter text would be completed by whatever follows it in the block, and a value read from
// the entry's own field on runs into the next entry. The walker passes an entry only when its
// count of values lies inside the block, so a date of 19 values is read within it.
bool HoldsWholeDate(const TiffEntry& entry) {
  return entry.count >= kExifDateLength && (entry.count & 0x80000000u) == 0 &&
         entry.valuePointer != entry.entryBytes + 8;
}

int AcceptBlock(const MetadataHandlers*, size_t, void*) {
  return 1;
}

int IgnoreEnd(const MetadataHandlers*, size_t, void*) {
  return 0;
}

} // namespace

void ParseExifDateTime(const uint8_t* text, DateRecord* date) {
  for (const DateField& field : kDateFields) {
    char digits[5] = {};
    // Bounded by the buffer too, which an optimiser cannot see from the field table alone.
    for (size_t i = 0; i < field.length && i + 1 < sizeof(digits); ++i)
      digits[i] = static_cast<char>(text[field.first + i]);
    date->*field.field = static_cast<uint16_t>(std::atoi(digits));
  }
}

int ExifDateHandler(const MetadataHandlers*, const TiffEntry* entry, void* context) {
  auto* request = static_cast<TimesRequest*>(context);
  DateRecord* date = OutputFor(entry->tag, request);
  if (date == nullptr || !HoldsWholeDate(*entry))
    return 0;
  ParseExifDateTime(entry->valuePointer, date);
  return 1;
}

MetadataHandlers DateHandlers(TimesRequest* request) {
  MetadataHandlers table = {};
  table.exifBegin = AcceptBlock;
  table.exifTag = ExifDateHandler;
  table.exifEnd = IgnoreEnd;
  table.exifContext = request;
  return table;
}

bool IsExifDateTag(uint16_t tag) {
  for (const DateTag& date : kDateTags)
    if (date.tag == tag)
      return true;
  return false;
}

void ReadExifDates(const uint8_t* buffer, size_t length, TimesRequest* request) {
  MetadataHandlers table = DateHandlers(request);
  WalkJpegMarkers(buffer, length, &table);
}
