#include "exif/read_times_and_exif.h"

#include "base/handles.h"
#include "exif/media_dates.h"
#include "filetime/path_times.h"

namespace {

// A movie's times count seconds from 1904; a FILETIME counts 100 ns from 1601.
constexpr uint64_t kSeconds1601To1904 = 9561628800;
constexpr uint64_t kTicksPerSecond = 10000000;

bool WantsExif(const TimesRequest& request) {
  return request.exifDateTime != nullptr || request.exifOriginal != nullptr ||
         request.exifDigitized != nullptr;
}

// The walkers' reads, by handle at an offset; a view is never larger than the read budget, so one
// ReadFile's count holds it.
bool ReadFileAt(void* file, uint64_t offset, uint8_t* out, size_t size) {
  OVERLAPPED at = {};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD read = 0;
  return ReadFile(static_cast<HANDLE>(file), out, static_cast<DWORD>(size), &read, &at) &&
         read == size;
}

// A movie's time is an instant in UTC: shown in local time by the rule every file time follows, so
// that applying it writes back exactly that instant.
void ShowMovieTime(uint64_t seconds, DateRecord* local) {
  if (seconds == 0 || local == nullptr ||
      seconds > UINT64_MAX / kTicksPerSecond - kSeconds1601To1904)
    return;
  uint64_t ticks = (seconds + kSeconds1601To1904) * kTicksPerSecond;
  FILETIME utc = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME shown;
  if (UtcToLocalTime(utc, &shown))
    *local = shown;
}

// Of a file whose data can be read: a folder's never is (attributes that cannot be read count as
// a folder's).
void ReadExif(const wchar_t* path, HANDLE file, TimesRequest* request) {
  DWORD attributes = GetFileAttributesW(path);
  LARGE_INTEGER size = {};
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
      !GetFileSizeEx(file, &size))
    return;
  ByteSource source = FileSource(static_cast<uint64_t>(size.QuadPart), ReadFileAt, file);
  MovieTimes movie;
  ReadMediaDates(&source, request, &movie);
  ShowMovieTime(movie.created, request->exifOriginal);
  ShowMovieTime(movie.created, request->exifDigitized);
  ShowMovieTime(movie.modified, request->exifDateTime);
}

} // namespace

int ReadTimesAndExif(const wchar_t* path, TimesRequest* request) {
  // Where the data is wanted and can be read, the times come through the same handle; otherwise
  // they are read as every other reader of a path's times reads them. Either way the same
  // conversion. Shared as the times are read, so a photo another program is writing still shows
  // its dates.
  UniqueFile file;
  if (WantsExif(*request))
    file.Reset(CreateFileW(
        path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_ATTRIBUTE_NORMAL, nullptr));
  int result = file ? GetHandleTimes(file.Get(), request->created, request->modified)
                    : GetPathTimes(path, request->created, request->modified);
  if (result == 0)
    request->error = GetLastError();
  if (file)
    ReadExif(path, file.Get(), request);
  return result;
}
