#pragma once

#include <cwchar>

#include "base/bounded_text.h"

// Joins two texts into out (kPathCapacity). Refuses a result that would not fit (false, out empty):
// the paths built here are acted on, and a cut one could name a different item.
inline bool JoinPath(wchar_t* out, const wchar_t* first, const wchar_t* second) {
  out[0] = L'\0';
  if (AppendBounded(out, first) == 0 && AppendBounded(out, second) == 0)
    return true;
  out[0] = L'\0';
  return false;
}

// path with a backslash at its end, unless it is empty or already has one.
inline bool JoinFolderPrefix(wchar_t* out, const wchar_t* path) {
  size_t length = wcslen(path);
  return JoinPath(out, path, length == 0 || path[length - 1] == L'\\' ? L"" : L"\\");
}
