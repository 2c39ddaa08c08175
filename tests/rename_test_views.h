#pragma once
// What the rename tests look at: the rows of the preview list and the names in a folder.

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

using Names = std::vector<std::wstring>;

inline Names ListRows(HWND list) {
  Names rows;
  int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[520] = {};
    LVITEMW item = {};
    item.pszText = text;
    item.cchTextMax = ARRAYSIZE(text);
    SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
    rows.push_back(text);
  }
  return rows;
}

// As the file system gives them, which under Wine is not sorted; folders end in a backslash.
inline Names InListingOrder(const std::wstring& folder) {
  Names names;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE)
    return names;
  do {
    std::wstring name = found.cFileName;
    if (name == L"." || name == L"..")
      continue;
    names.push_back(name + ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? L"\\" : L""));
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return names;
}

inline Names NamesIn(const std::wstring& folder) {
  Names names = InListingOrder(folder);
  std::sort(names.begin(), names.end());
  return names;
}
