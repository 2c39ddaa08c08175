#pragma once

#include <windows.h>

#include <string>

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TempFolder {
public:
  TempFolder();
  // Under another folder, for dialogs that do not show the (hidden) temporary folder.
  explicit TempFolder(const std::wstring& base);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::wstring& Path() const { return path_; }
  std::wstring PathOf(const std::wstring& relative) const { return path_ + L"\\" + relative; }

  // Creates a file (and no folders) with the given bytes; returns its full path.
  std::wstring MakeFile(const std::wstring& relative, const std::string& content = "data");
  std::wstring MakeFolder(const std::wstring& relative);

private:
  std::wstring path_;
};

void RemoveTree(const std::wstring& path);
