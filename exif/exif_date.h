#pragma once
// Exif DateTime, DateTimeOriginal and DateTimeDigitized, taken as written: no zone conversion.

#include <cstddef>
#include <cstdint>

#include "exif/metadata_handlers.h"
#include "exif/times_request.h"

// "YYYY:MM:DD HH:MM:SS" is this many characters, usually followed by a NUL.
inline constexpr size_t kExifDateLength = 19;

// Reads kExifDateLength characters. Writes year to second only; separators and ranges are not
// checked, and a field without digits gives 0.
void ParseExifDateTime(const uint8_t* text, DateRecord* date);

// The exifTag handler; context is the TimesRequest.
int ExifDateHandler(const MetadataHandlers* table, const TiffEntry* entry, void* context);

// The handler table through which every walker hands the three dates to the request.
MetadataHandlers DateHandlers(TimesRequest* request);

// Whether tag is one of the three dates, the only values read when a whole file is walked.
bool IsExifDateTag(uint16_t tag);

// Walks a JPEG's bytes for the three Exif dates the request asks for.
void ReadExifDates(const uint8_t* buffer, size_t length, TimesRequest* request);
