#include <windows.h>

#include <cstdlib>
#include <cwchar>

#include "base/bounded_text.h"
#include "panes/path_pane.h"

int FindExistingFolder(wchar_t* out, const wchar_t* path) {
  wchar_t work[268] = {};
  FormatBounded(work, 260, L"%s", path);
  for (;;) {
    wchar_t drive[3];
    wchar_t folder[256];
    // A folder part too long for its buffer counts as empty, which ends the walk.
    if (_wsplitpath_s(work, drive, ARRAYSIZE(drive), folder, ARRAYSIZE(folder), nullptr, 0, nullptr,
                      0) != 0)
      folder[0] = L'\0';
    size_t folderLength = std::wcslen(folder);
    if (folderLength < 2)
      return 0;
    FormatBounded(work, 260, L"%s%s", drive, folder);
    if (GetFileAttributesW(work) != INVALID_FILE_ATTRIBUTES) {
      FormatBounded(out, 260, L"%s", work);
      return 1;
    }
    // Drop the closing separator so the last folder becomes the name of the next split.
    work[std::wcslen(work) - 1] = L'\0';
  }
}
