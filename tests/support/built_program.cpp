#include "tests/support/built_program.h"

#include <windows.h>

#include "base/handles.h"

std::wstring BuiltProgramPath() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  return path.substr(0, path.find_last_of(L"\\/") + 1) + L"Datewright.exe";
}

std::vector<unsigned char> ReadWholeFile(const std::wstring& path) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  std::vector<unsigned char> bytes;
  LARGE_INTEGER size;
  if (!file || !GetFileSizeEx(file.Get(), &size))
    return bytes;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
    bytes.clear();
  bytes.resize(read);
  return bytes;
}
