// The date reading path as ReadTimesAndExif runs it, with every date asked for.
#include "exif/exif_date.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DateRecord dates[3] = {};
  TimesRequest request = {0, nullptr, nullptr, &dates[0], &dates[1], &dates[2]};
  ReadExifDates(data, size, &request);
  return 0;
}
