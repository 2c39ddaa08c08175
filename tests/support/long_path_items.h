#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Makes files and folders whose paths may pass MAX_PATH (through the \\?\ form, which the plain
// calls and TempFolder's removal cannot use) and removes them, newest first, at the end. Paths go
// in and come out in the plain form.
class LongPathItems {
public:
  LongPathItems() = default;
  ~LongPathItems();
  LongPathItems(const LongPathItems&) = delete;
  LongPathItems& operator=(const LongPathItems&) = delete;

  // A folder in base whose full path has exactly length characters.
  std::wstring MakeFolderOfLength(const std::wstring& base, size_t length);
  std::wstring MakeFolder(const std::wstring& path);
  std::wstring MakeFile(const std::wstring& path);

  static std::wstring Prefixed(const std::wstring& path) { return L"\\\\?\\" + path; }
  static bool Exists(const std::wstring& path);

private:
  struct Item {
    std::wstring path;
    bool folder;
  };
  std::vector<Item> made_;
};
