#include "exif/read_times_and_exif.h"

#include "base/handles.h"
#include "exif/exif_date.h"
#include "filetime/path_times.h"

namespace {

// Smaller files are never examined; the limit is 65535, not 65536.
constexpr DWORD kLargestSkippedSize = 65535;

bool WantsExif(const TimesRequest& request) {
  return request.exifDateTime != nullptr || request.exifOriginal != nullptr ||
         request.exifDigitized != nullptr;
}

bool StartsLikeAnImage(const BYTE head[2]) {
  return (head[0] == 0xFF && head[1] == 0xD8) || (head[0] == 'I' && head[1] == 'I') ||
         (head[0] == 'M' && head[1] == 'M');
}

void ReadExif(const wchar_t* path, TimesRequest* request) {
  // Attributes that cannot be read count as a folder's.
  DWORD attributes = GetFileAttributesW(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return;
  UniqueFile file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    return;
  DWORD size = GetFileSize(file.Get(), nullptr);
  if (size <= kLargestSkippedSize)
    return;
  BYTE head[2];
  DWORD read = 0;
  if (!ReadFile(file.Get(), head, sizeof(head), &read, nullptr) || read != sizeof(head) ||
      !StartsLikeAnImage(head))
    return;
  UniqueHeapBlock buffer(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size));
  if (!buffer || SetFilePointer(file.Get(), 0, nullptr, FILE_BEGIN) != 0)
    return;
  if (!ReadFile(file.Get(), buffer.Get(), size, &read, nullptr) || read != size)
    return;
  ReadExifDates(static_cast<const uint8_t*>(buffer.Get()), size, request);
}

} // namespace

int ReadTimesAndExif(const wchar_t* path, TimesRequest* request) {
  // The same open, read and local conversion as every other reader of a path's times.
  int result = GetPathTimes(path, request->created, request->modified);
  if (result == 0)
    request->error = GetLastError();
  if (WantsExif(*request))
    ReadExif(path, request);
  return result;
}
