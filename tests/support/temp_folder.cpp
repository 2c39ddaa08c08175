#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/handles.h"

namespace {

std::wstring Long(const std::wstring& path) {
  return L"\\\\?\\" + path;
}

template <typename Visit> void ForEachIn(const std::wstring& folder, Visit visit) {
  WIN32_FIND_DATAW found;
  UniqueFind find(FindFirstFileW(Long(folder + L"\\*").c_str(), &found));
  for (bool more = static_cast<bool>(find); more; more = FindNextFileW(find.Get(), &found)) {
    std::wstring name = found.cFileName;
    if (name != L"." && name != L"..")
      visit(name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
  }
}

} // namespace

TempFolder::TempFolder() {
  wchar_t base[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, base);
  static unsigned counter = 0;
  do
    path_ = std::wstring(base) + L"dwtest-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter);
  while (!CreateDirectoryW(path_.c_str(), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
}

std::wstring TempFolder::MakeFile(const std::wstring& relative, const std::string& content) {
  std::wstring path = PathOf(relative);
  if (path.back() == L'\\') {
    path.pop_back();
    EXPECT_TRUE(CreateDirectoryW(Long(path).c_str(), nullptr)) << "error " << GetLastError();
    return path;
  }
  UniqueFile file(CreateFileW(Long(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  EXPECT_TRUE(file && WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()),
                                &written, nullptr))
      << "error " << GetLastError();
  return path;
}

Names TempFolder::Listed(const std::wstring& relative, bool sorted) const {
  Names names;
  ForEachIn(relative.empty() ? path_ : PathOf(relative),
            [&](const std::wstring& name, bool folder) {
              names.push_back(name + (folder ? L"\\" : L""));
            });
  if (sorted)
    std::sort(names.begin(), names.end());
  return names;
}

void TempFolder::RemoveTree(const std::wstring& path) {
  ForEachIn(path, [&](const std::wstring& name, bool folder) {
    std::wstring child = path + L"\\" + name;
    SetFileAttributesW(Long(child).c_str(), FILE_ATTRIBUTE_NORMAL);
    if (folder)
      RemoveTree(child);
    else
      DeleteFileW(Long(child).c_str());
  });
  RemoveDirectoryW(Long(path).c_str());
}
