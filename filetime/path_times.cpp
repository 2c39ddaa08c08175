#include "filetime/path_times.h"

#include <algorithm>
#include <cstdint>

#include "base/file_ticks.h"
#include "base/handles.h"

namespace {

bool g_eachDatesDaylightSaving = false;

constexpr uint64_t kDayTicks = 24ULL * 60 * 60 * 10000000;

// Backup semantics lets the same call open folders.
UniqueFile OpenPath(const wchar_t* path, DWORD access, DWORD share) {
  return UniqueFile(CreateFileW(path, access, share, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Null when the record is out of range: that time then stays as it is.
const FILETIME* LocalToUtc(const SYSTEMTIME* local, FILETIME* utc) {
  return local != nullptr && LocalTimeToUtc(*local, utc) ? utc : nullptr;
}

bool UtcToLocal(const FILETIME& utc, SYSTEMTIME* local) {
  return local != nullptr && UtcToLocalTime(utc, local);
}

// Among the values that are no time, all ones would tell SetFileTime to stop updating that time
// rather than write it.
const FILETIME* Writable(const FILETIME* utc) {
  SYSTEMTIME ignored;
  return utc != nullptr && FileTimeToSystemTime(utc, &ignored) ? utc : nullptr;
}

// Windows' rule for the stamp's own year, the dynamic rules of past years included.
bool EachDateUtcToLocal(const FILETIME& utc, SYSTEMTIME* local) {
  SYSTEMTIME universal;
  TIME_ZONE_INFORMATION zone;
  return FileTimeToSystemTime(&utc, &universal) &&
         GetTimeZoneInformationForYear(universal.wYear, nullptr, &zone) &&
         SystemTimeToTzSpecificLocalTime(&zone, &universal, local);
}

// Local minus UTC at a UTC instant of whole milliseconds.
bool OffsetAt(uint64_t utc, int64_t* offset) {
  SYSTEMTIME local;
  FILETIME wall;
  if (!EachDateUtcToLocal(FromTicks(utc), &local) || !SystemTimeToFileTime(&local, &wall))
    return false;
  *offset = static_cast<int64_t>(Ticks(wall) - utc);
  return true;
}

// The inverse of the rule above, decided here rather than by TzSpecificLocalTimeToSystemTime:
// Wine's takes a time in the skipped hour as daylight time, where Windows documents standard time.
// A local time is the UTC instant whose offset it carries; a day either side brackets any change
// of the offset, and no offset reaches a day. None carries it in the skipped hour, both in the
// repeated one: then the offset before the change holds.
bool EachDateLocalToUtc(const SYSTEMTIME& local, FILETIME* utc) {
  FILETIME wall;
  int64_t before = 0;
  int64_t after = 0;
  if (!SystemTimeToFileTime(&local, &wall) || Ticks(wall) < kDayTicks ||
      !OffsetAt(Ticks(wall) - kDayTicks, &before) || !OffsetAt(Ticks(wall) + kDayTicks, &after))
    return false;
  uint64_t chosen = Ticks(wall) - before;
  // The earlier instant first: the repeated hour's first occurrence.
  for (int64_t offset : {std::max(before, after), std::min(before, after)}) {
    int64_t carried = 0;
    if (OffsetAt(Ticks(wall) - offset, &carried) && carried == offset) {
      chosen = Ticks(wall) - offset;
      break;
    }
  }
  *utc = FromTicks(chosen);
  return true;
}

} // namespace

void UseEachDatesDaylightSaving(bool on) {
  g_eachDatesDaylightSaving = on;
}

bool UtcToLocalTime(const FILETIME& utc, SYSTEMTIME* local) {
  if (g_eachDatesDaylightSaving)
    return EachDateUtcToLocal(utc, local);
  FILETIME localFileTime;
  return FileTimeToLocalFileTime(&utc, &localFileTime) &&
         FileTimeToSystemTime(&localFileTime, local);
}

bool LocalTimeToUtc(const SYSTEMTIME& local, FILETIME* utc) {
  if (g_eachDatesDaylightSaving)
    return EachDateLocalToUtc(local, utc);
  FILETIME localFileTime;
  return SystemTimeToFileTime(&local, &localFileTime) &&
         LocalFileTimeToFileTime(&localFileTime, utc);
}

int SetPathTimes(const wchar_t* path, const SYSTEMTIME* created, const SYSTEMTIME* modified,
                 DWORD* errorOut) {
  FILETIME createdUtc;
  FILETIME modifiedUtc;
  return SetPathUtcTimes(path, LocalToUtc(created, &createdUtc), LocalToUtc(modified, &modifiedUtc),
                         errorOut);
}

int SetPathUtcTimes(const wchar_t* path, const FILETIME* created, const FILETIME* modified,
                    DWORD* errorOut) {
  UniqueFile file = OpenPath(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ);
  if (!file || !SetFileTime(file.Get(), Writable(created), nullptr, Writable(modified))) {
    if (errorOut != nullptr)
      *errorOut = GetLastError();
    return 0;
  }
  return 1;
}

int GetPathTimes(const wchar_t* path, SYSTEMTIME* createdOut, SYSTEMTIME* modifiedOut) {
  // Reading the times needs no access to the data, so other programs keep their handles, also
  // those open for writing.
  UniqueFile file =
      OpenPath(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  return file ? GetHandleTimes(file.Get(), createdOut, modifiedOut) : 0;
}

int GetHandleTimes(HANDLE file, SYSTEMTIME* createdOut, SYSTEMTIME* modifiedOut) {
  FILETIME createdUtc;
  FILETIME modifiedUtc;
  if (!GetFileTime(file, &createdUtc, nullptr, &modifiedUtc))
    return 0;
  bool filled = UtcToLocal(createdUtc, createdOut);
  filled = UtcToLocal(modifiedUtc, modifiedOut) || filled;
  return filled ? 1 : 0;
}

int QueryPathUtcTimes(const wchar_t* path, FILETIME* createdOut, FILETIME* modifiedOut,
                      DWORD* attributesOut) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  bool read = GetFileAttributesExW(path, GetFileExInfoStandard, &data) != 0;
  if (attributesOut != nullptr)
    *attributesOut = read ? data.dwFileAttributes : INVALID_FILE_ATTRIBUTES;
  if (!read)
    return 0;
  if (createdOut != nullptr)
    *createdOut = data.ftCreationTime;
  if (modifiedOut != nullptr)
    *modifiedOut = data.ftLastWriteTime;
  return 1;
}
