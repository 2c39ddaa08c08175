#include "filetime/cleanup_folder.h"

#include <windows.h>

#include <cwchar>

#include "base/handles.h"
#include "base/join_path.h"
#include "filetime/path_times.h"

namespace {

// One call's working buffers. On the heap, because a deep tree nests one call per level.
struct CleanupSearch {
  WIN32_FIND_DATAW found;
  wchar_t prefix[kPathCapacity]; // the folder with its trailing backslash
  wchar_t search[kPathCapacity];
  wchar_t itemPath[kPathCapacity];
};

struct JunkPath {
  wchar_t path[kPathCapacity];
};

bool IsFolder(const WIN32_FIND_DATAW& found) {
  return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsDotName(const wchar_t* name) {
  return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0;
}

bool BuildSearch(CleanupSearch& search, const wchar_t* path) {
  return JoinFolderPrefix(search.prefix, path) && JoinPath(search.search, search.prefix, L"*.*");
}

// Leaves the result's full path in itemPath.
bool IsDeletableJunk(CleanupSearch& search) {
  return !IsFolder(search.found) && IsJunkFile(search.found.cFileName) &&
         JoinPath(search.itemPath, search.prefix, search.found.cFileName);
}

// Cleans each subfolder as the listing meets it; returns the number of junk files seen here.
uint32_t FirstPass(CleanupSearch& search, bool recurse, uint32_t* deleted) {
  UniqueFind find(FindFirstFileW(search.search, &search.found));
  if (!find)
    return 0;
  uint32_t junk = 0;
  do {
    if (!IsFolder(search.found)) {
      junk += IsDeletableJunk(search) ? 1 : 0;
    } else if (recurse && !IsDotName(search.found.cFileName) &&
               JoinPath(search.itemPath, search.prefix, search.found.cFileName)) {
      *deleted += CleanupFolder(search.itemPath, recurse);
    }
  } while (FindNextFileW(find.Get(), &search.found));
  return junk;
}

// Lists the junk again into room for as many as the first pass saw, then deletes them with the
// search closed. Files that appeared in between are left alone.
uint32_t DeleteJunk(CleanupSearch& search, uint32_t counted) {
  UniqueHeapBlock block(HeapAllocZeroed<JunkPath>(counted));
  auto* paths = static_cast<JunkPath*>(block.Get());
  if (paths == nullptr)
    return 0;
  uint32_t stored = 0;
  {
    UniqueFind find(FindFirstFileW(search.search, &search.found));
    if (!find)
      return 0;
    do {
      if (IsDeletableJunk(search))
        wcscpy(paths[stored++].path, search.itemPath);
    } while (stored < counted && FindNextFileW(find.Get(), &search.found));
  }
  uint32_t deleted = 0;
  for (uint32_t i = 0; i < stored; ++i)
    deleted += DeleteFileW(paths[i].path) ? 1 : 0;
  return deleted;
}

} // namespace

uint32_t CleanupFolder(const wchar_t* path, bool recurse) {
  // The stamp itself goes back, never a local time: one in the hour the clocks repeat has two.
  FILETIME saved;
  if (path == nullptr || !QueryPathUtcTimes(path, nullptr, &saved, nullptr))
    return 0;
  uint32_t deleted = 0;
  {
    UniqueHeapBlock block(HeapAllocZeroed<CleanupSearch>());
    auto* search = static_cast<CleanupSearch*>(block.Get());
    // A folder whose search string would not fit is not searched: a cut one searches elsewhere.
    if (search != nullptr && BuildSearch(*search, path)) {
      uint32_t junk = FirstPass(*search, recurse, &deleted);
      if (junk != 0)
        deleted += DeleteJunk(*search, junk);
    }
  }
  // Also when nothing here was deleted.
  SetPathUtcTimes(path, nullptr, &saved, nullptr);
  return deleted;
}
