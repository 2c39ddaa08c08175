#pragma once

#include <windows.h>

#include <string>
#include <vector>

using Names = std::vector<std::wstring>;

// A fresh temporary folder, removed with all it holds; made through \\?\, paths may pass MAX_PATH.
class TempFolder {
public:
  TempFolder();
  ~TempFolder() { RemoveTree(path_); }

  const std::wstring& Path() const { return path_; }
  std::wstring PathOf(const std::wstring& relative) const { return path_ + L"\\" + relative; }
  // Makes a file with these bytes, or with a name ending in a backslash a folder; its full path.
  std::wstring MakeFile(const std::wstring& relative, const std::string& content = "data");
  // The names in a folder of it, sorted or as listed; folders end in a backslash.
  Names Listed(const std::wstring& relative = L"", bool sorted = true) const;
  static void RemoveTree(const std::wstring& path);

private:
  std::wstring path_;
};
