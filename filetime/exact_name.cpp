#include "filetime/exact_name.h"

#include <cwchar>

#include "base/handles.h"

bool HoldsExactName(const wchar_t* path, const wchar_t* name) {
  WIN32_FIND_DATAW found;
  UniqueFind find(FindFirstFileW(path, &found));
  return find && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
         wcscmp(found.cFileName, name) == 0;
}
