#include "exif/read_times_and_exif.h"

#include "base/handles.h"
#include "exif/exif_date.h"
#include "filetime/path_times.h"

namespace {

// Smaller files are never examined; the limit is 65535, not 65536.
constexpr uint64_t kLargestSkippedSize = 65535;
// The most one ReadFile is asked for, well inside what its count can say.
constexpr DWORD kReadPiece = 1u << 30;

bool WantsExif(const TimesRequest& request) {
  return request.exifDateTime != nullptr || request.exifOriginal != nullptr ||
         request.exifDigitized != nullptr;
}

bool StartsLikeAnImage(const BYTE head[2]) {
  return (head[0] == 0xFF && head[1] == 0xD8) || (head[0] == 'I' && head[1] == 'I') ||
         (head[0] == 'M' && head[1] == 'M');
}

// The whole file from its start; false when any piece comes short.
bool ReadWholeFile(HANDLE file, BYTE* buffer, size_t size) {
  if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) != 0)
    return false;
  for (size_t done = 0; done < size;) {
    DWORD piece = size - done < kReadPiece ? static_cast<DWORD>(size - done) : kReadPiece;
    DWORD read = 0;
    if (!ReadFile(file, buffer + done, piece, &read, nullptr) || read != piece)
      return false;
    done += piece;
  }
  return true;
}

void ReadExif(const wchar_t* path, TimesRequest* request) {
  // Attributes that cannot be read count as a folder's.
  DWORD attributes = GetFileAttributesW(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return;
  // Shared as the times are read, so a photo another program is writing still shows its dates.
  UniqueFile file(CreateFileW(
      path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size = {};
  if (!file || !GetFileSizeEx(file.Get(), &size) ||
      static_cast<uint64_t>(size.QuadPart) <= kLargestSkippedSize)
    return;
  BYTE head[2];
  DWORD read = 0;
  if (!ReadFile(file.Get(), head, sizeof(head), &read, nullptr) || read != sizeof(head) ||
      !StartsLikeAnImage(head))
    return;
  size_t bytes = static_cast<size_t>(size.QuadPart);
  UniqueHeapBlock buffer(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes));
  if (!buffer || !ReadWholeFile(file.Get(), static_cast<BYTE*>(buffer.Get()), bytes))
    return;
  ReadExifDates(static_cast<const uint8_t*>(buffer.Get()), bytes, request);
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
