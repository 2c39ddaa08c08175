#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include "base/handles.h"

namespace {

std::wstring TempBase() {
  wchar_t base[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, base);
  return base;
}

} // namespace

TempFolder::TempFolder() : TempFolder(TempBase()) {}

TempFolder::TempFolder(const std::wstring& base) {
  static unsigned counter = 0;
  for (;;) {
    path_ = base + (base.back() == L'\\' ? L"" : L"\\") + L"dwtest-" +
            std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    if (CreateDirectoryW(path_.c_str(), nullptr))
      break;
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
      ADD_FAILURE() << "cannot create a temporary folder, error " << GetLastError();
      break;
    }
  }
}

TempFolder::~TempFolder() {
  RemoveTree(path_);
}

std::wstring TempFolder::MakeFile(const std::wstring& relative, const std::string& content) {
  std::wstring path = PathOf(relative);
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  EXPECT_TRUE(file) << "cannot create a test file, error " << GetLastError();
  DWORD written = 0;
  if (file && !content.empty())
    WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  return path;
}

std::wstring TempFolder::MakeFolder(const std::wstring& relative) {
  std::wstring path = PathOf(relative);
  EXPECT_TRUE(CreateDirectoryW(path.c_str(), nullptr)) << "error " << GetLastError();
  return path;
}

void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW found;
  UniqueFind find(FindFirstFileW((path + L"\\*").c_str(), &found));
  if (find) {
    do {
      std::wstring name = found.cFileName;
      if (name == L"." || name == L"..")
        continue;
      std::wstring child = path + L"\\" + name;
      SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(child);
      else
        DeleteFileW(child.c_str());
    } while (FindNextFileW(find.Get(), &found));
  }
  find.Reset();
  RemoveDirectoryW(path.c_str());
}
