// The date reading path as ReadTimesAndExif runs it, for every format, with every date asked for.
#include "exif/media_dates.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DateRecord dates[3] = {};
  TimesRequest request = {0, nullptr, nullptr, &dates[0], &dates[1], &dates[2]};
  ByteSource source = MemorySource(data, size);
  MovieTimes movie;
  ReadMediaDates(&source, &request, &movie);
  return 0;
}
