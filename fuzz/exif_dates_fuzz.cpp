// The date reading path as ReadTimesAndExif runs it, with the record fields the reader must
// leave alone watched.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "exif/exif_date.h"

namespace {

constexpr uint16_t kUntouched = 0xBEEF;

DateRecord Sentinel() {
  DateRecord date = {};
  date.wDayOfWeek = kUntouched;
  date.wMilliseconds = kUntouched;
  return date;
}

void RequireUntouched(const DateRecord& date) {
  if (date.wDayOfWeek != kUntouched || date.wMilliseconds != kUntouched)
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DateRecord dates[3] = {Sentinel(), Sentinel(), Sentinel()};
  DateRecord times[2] = {Sentinel(), Sentinel()};
  TimesRequest request = {0x12345678u, &times[0], &times[1], &dates[0], &dates[1], &dates[2]};
  ReadExifDates(data, size, &request);
  for (const DateRecord& date : dates)
    RequireUntouched(date);
  // The times are not this path's business.
  for (const DateRecord& time : times) {
    DateRecord fresh = Sentinel();
    if (std::memcmp(&time, &fresh, sizeof(fresh)) != 0)
      std::abort();
  }
  if (request.error != 0x12345678u)
    std::abort();
  if (size >= kExifDateLength) {
    DateRecord parsed = Sentinel();
    ParseExifDateTime(data, &parsed);
    RequireUntouched(parsed);
  }
  return 0;
}
