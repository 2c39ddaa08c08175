#pragma once
// What ReadTimesAndExif is asked for. Portable, so the Exif date path also builds natively.

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
using DateRecord = SYSTEMTIME;
#else
// SYSTEMTIME's field layout, for the native build.
struct DateRecord {
  uint16_t wYear;
  uint16_t wMonth;
  uint16_t wDayOfWeek;
  uint16_t wDay;
  uint16_t wHour;
  uint16_t wMinute;
  uint16_t wSecond;
  uint16_t wMilliseconds;
};
#endif

// Null outputs are not wanted. A date output still all zero afterwards was not found.
struct TimesRequest {
  uint32_t error; // written only when reading the times fails
  DateRecord* created;
  DateRecord* modified;
  DateRecord* exifDateTime;
  DateRecord* exifOriginal;
  DateRecord* exifDigitized;
};
