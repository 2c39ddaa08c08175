#include "filetime/path_times.h"

#include "base/handles.h"

namespace {

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

} // namespace

bool UtcToLocalTime(const FILETIME& utc, SYSTEMTIME* local) {
  FILETIME localFileTime;
  return FileTimeToLocalFileTime(&utc, &localFileTime) &&
         FileTimeToSystemTime(&localFileTime, local);
}

bool LocalTimeToUtc(const SYSTEMTIME& local, FILETIME* utc) {
  FILETIME localFileTime;
  return SystemTimeToFileTime(&local, &localFileTime) &&
         LocalFileTimeToFileTime(&localFileTime, utc);
}

int SetPathTimes(const wchar_t* path, const SYSTEMTIME* created, const SYSTEMTIME* modified,
                 DWORD* errorOut) {
  UniqueFile file = OpenPath(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ);
  if (!file) {
    if (errorOut != nullptr)
      *errorOut = GetLastError();
    return 0;
  }
  FILETIME createdUtc;
  FILETIME modifiedUtc;
  if (!SetFileTime(file.Get(), LocalToUtc(created, &createdUtc), nullptr,
                   LocalToUtc(modified, &modifiedUtc))) {
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

int QueryPathTimes(const wchar_t* path, SYSTEMTIME* createdOut, SYSTEMTIME* modifiedOut,
                   DWORD* attributesOut) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  bool read = GetFileAttributesExW(path, GetFileExInfoStandard, &data) != 0;
  if (attributesOut != nullptr)
    *attributesOut = read ? data.dwFileAttributes : INVALID_FILE_ATTRIBUTES;
  if (!read)
    return 0;
  bool filled = UtcToLocal(data.ftCreationTime, createdOut);
  filled = UtcToLocal(data.ftLastWriteTime, modifiedOut) || filled;
  return filled ? 1 : 0;
}
