#pragma once
// JPEG files with known Exif dates, shared by the byte-level tests and the tests that read real
// files under Windows. Every file is larger than 65535 bytes, so both see the same dates.

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "exif/times_request.h"
#include "tests/support/jpeg_builder.h"

inline constexpr size_t kCaseFileSize = 70000;

// Year to second of a date record; all zero is a date not found.
struct DateFields {
  uint16_t year, month, day, hour, minute, second;
  bool operator==(const DateFields&) const = default;
};

DateFields FieldsOf(const DateRecord& date);
std::ostream& operator<<(std::ostream& out, const DateFields& date);

struct ExpectedDates {
  DateFields dateTime;
  DateFields original;
  DateFields digitized;
};

struct DateCase {
  std::string name;
  Bytes file;
  ExpectedDates expected;
};

std::vector<DateCase> DateCases();

// The reader must leave these two fields as the caller set them.
inline constexpr uint16_t kUntouched = 0xBEEF;
DateRecord UntouchedDate();

// The three outputs DateTime, DateTimeOriginal and DateTimeDigitized, checked field by field.
ExpectedDates DatesOf(const DateRecord (&dates)[3]);
void ExpectDates(const DateRecord (&dates)[3], const ExpectedDates& expected,
                 const std::string& name);

// The camera file the truncation tests cut up, its TIFF block and its dates.
TiffLayout SampleLayout(ByteOrder order);
ExpectedDates SampleDates();
