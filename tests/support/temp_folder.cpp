#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/handles.h"

namespace {

std::wstring Long(const std::wstring& path) {
  return L"\\\\?\\" + path;
}

} // namespace

void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW found;
  UniqueFind find(FindFirstFileW(Long(path + L"\\*").c_str(), &found));
  while (find) {
    std::wstring name = found.cFileName;
    std::wstring child = path + L"\\" + name;
    SetFileAttributesW(Long(child).c_str(), FILE_ATTRIBUTE_NORMAL);
    if (name != L"." && name != L"..") {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(child);
      else
        DeleteFileW(Long(child).c_str());
    }
    if (!FindNextFileW(find.Get(), &found))
      break;
  }
  find.Reset();
  RemoveDirectoryW(Long(path).c_str());
}

TempFolder::TempFolder() {
  wchar_t base[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, base);
  static unsigned counter = 0;
  do
    path_ = std::wstring(base) + L"dwtest-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter);
  while (!CreateDirectoryW(path_.c_str(), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
}

TempFolder::~TempFolder() {
  RemoveTree(path_);
}

std::wstring TempFolder::MakeFile(const std::wstring& relative, const std::string& content) {
  std::wstring path = PathOf(relative);
  UniqueFile file(CreateFileW(Long(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  EXPECT_TRUE(file) << "cannot create a test file, error " << GetLastError();
  DWORD written = 0;
  if (file && !content.empty())
    WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  return path;
}

std::wstring TempFolder::MakeFolder(const std::wstring& relative) {
  std::wstring path = PathOf(relative);
  EXPECT_TRUE(CreateDirectoryW(Long(path).c_str(), nullptr)) << "error " << GetLastError();
  return path;
}

std::vector<std::wstring> TempFolder::Listed(const std::wstring& relative) const {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  UniqueFind find(FindFirstFileW(
      Long(relative.empty() ? path_ + L"\\*" : PathOf(relative) + L"\\*").c_str(), &found));
  while (find) {
    std::wstring name = found.cFileName;
    if (name != L"." && name != L"..")
      names.push_back(name + ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? L"\\" : L""));
    if (!FindNextFileW(find.Get(), &found))
      break;
  }
  return names;
}

std::vector<std::wstring> TempFolder::Sorted(const std::wstring& relative) const {
  std::vector<std::wstring> names = Listed(relative);
  std::sort(names.begin(), names.end());
  return names;
}
