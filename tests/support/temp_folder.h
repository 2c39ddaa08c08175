#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A fresh folder under the temporary folder, removed with everything in it at the end. Items are
// made and removed through the \\?\ form, so their paths may pass MAX_PATH.
class TempFolder {
public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::wstring& Path() const { return path_; }
  std::wstring PathOf(const std::wstring& relative) const { return path_ + L"\\" + relative; }

  // Creates a file (and no folders) with the given bytes; returns its full path.
  std::wstring MakeFile(const std::wstring& relative, const std::string& content = "data");
  std::wstring MakeFolder(const std::wstring& relative);
  // Names in the folder as the file system lists them, which under Wine is not sorted; folders
  // end in a backslash.
  std::vector<std::wstring> Listed(const std::wstring& relative = L"") const;
  std::vector<std::wstring> Sorted(const std::wstring& relative = L"") const;

private:
  std::wstring path_;
};

// Removes a folder with everything in it, whatever the length of the paths inside.
void RemoveTree(const std::wstring& path);
