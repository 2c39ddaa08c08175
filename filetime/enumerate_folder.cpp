#include "filetime/enumerate_folder.h"

#include <cwchar>

#include "base/handles.h"

namespace {

constexpr size_t kPathChars = MAX_PATH;

// One call's working buffers. On the heap, because a deep tree nests one call per level.
struct FolderSearch {
  WIN32_FIND_DATAW found;
  wchar_t search[kPathChars];
  wchar_t prefix[kPathChars]; // the folder with its trailing backslash
  wchar_t itemPath[kPathChars];
  wchar_t childPath[kPathChars];
};

// Refuses (false, out untouched) when the joined text would not fit: the paths built here are
// acted on later, and a shortened one could name a different item.
bool JoinPath(wchar_t* out, size_t capacity, const wchar_t* first, const wchar_t* second,
              const wchar_t* third = L"") {
  size_t firstLength = wcslen(first);
  size_t secondLength = wcslen(second);
  size_t thirdLength = wcslen(third);
  if (firstLength + secondLength + thirdLength >= capacity)
    return false;
  wmemcpy(out, first, firstLength);
  wmemcpy(out + firstLength, second, secondLength);
  wmemcpy(out + firstLength + secondLength, third, thirdLength);
  out[firstLength + secondLength + thirdLength] = L'\0';
  return true;
}

bool IsDotName(const wchar_t* name) {
  return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0;
}

// Nonzero keeps the item. An item that cannot be opened skips the callback and stays in.
int OfferToCallback(const EnumerateOptions& options, const wchar_t* path,
                    const FILETIME& modified) {
  if ((options.flags & EnumOpenHandle) == 0)
    return options.entryCallback != nullptr
               ? options.entryCallback(path, nullptr, &modified, options.entryContext)
               : 1;
  // Backup semantics lets the same call open folders.
  UniqueFile item(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!item || options.entryCallback == nullptr)
    return 1;
  return options.entryCallback(path, item.Get(), &modified, options.entryContext);
}

void StoreEntry(FolderEntry* entries, uint32_t index, const EnumerateOptions* options,
                const WIN32_FIND_DATAW& found, const wchar_t* fullPath, const FILETIME& modified) {
  if (entries == nullptr ||
      (options != nullptr && options->maxEntries != 0 && index >= options->maxEntries))
    return;
  FolderEntry& entry = entries[index];
  // Both fit: cFileName holds MAX_PATH characters, and fullPath was built with that bound.
  wcscpy(entry.name, found.cFileName);
  wcscpy(entry.fullPath, fullPath);
  entry.attributes = found.dwFileAttributes;
  entry.modifiedUtc = modified;
}

// Returns how many items the folder and (with EnumRecurse) its contents reported. With both
// flags the folder's own entry comes after everything inside it.
uint32_t ReportFolder(FolderEntry* entries, uint32_t nextIndex, FolderSearch& search,
                      const FILETIME& modified, EnumerateOptions& options) {
  uint32_t reported = 0;
  // A folder whose child path would not fit is not entered; it may still be reported itself.
  if ((options.flags & EnumRecurse) != 0 &&
      JoinPath(search.childPath, kPathChars, search.prefix, search.found.cFileName, L"\\"))
    reported += EnumerateFolder(entries, search.childPath, nextIndex, &options);
  if ((options.flags & EnumIncludeFolders) != 0) {
    StoreEntry(entries, nextIndex + reported, &options, search.found, search.itemPath, FILETIME{});
    OfferToCallback(options, search.itemPath, modified);
    ++reported;
  }
  return reported;
}

uint32_t ReportFile(FolderEntry* entries, uint32_t nextIndex, const FolderSearch& search,
                    const FILETIME& modified, const EnumerateOptions* options) {
  if (options != nullptr && OfferToCallback(*options, search.itemPath, modified) == 0)
    return 0;
  StoreEntry(entries, nextIndex, options, search.found, search.itemPath, modified);
  return 1;
}

// A stop inside a subfolder arrives here through aborted: this level stops as well.
bool ShouldStop(const wchar_t* name, EnumerateOptions& options) {
  if (options.aborted != 0)
    return true;
  if (options.progressCallback != nullptr &&
      options.progressCallback(name, options.progressContext) == 1) {
    options.aborted = 1;
    return true;
  }
  return false;
}

} // namespace

uint32_t EnumerateFolder(FolderEntry* entries, const wchar_t* path, uint32_t startIndex,
                         EnumerateOptions* options) {
  if (options != nullptr)
    options->aborted = 0;
  if (path == nullptr)
    return 0;
  UniqueHeapBlock block(HeapAllocZeroed<FolderSearch>());
  auto* search = static_cast<FolderSearch*>(block.Get());
  if (search == nullptr)
    return 0;

  size_t pathLength = wcslen(path);
  const wchar_t* separator = pathLength == 0 || path[pathLength - 1] == L'\\' ? L"" : L"\\";
  const wchar_t* pattern =
      options != nullptr && options->pattern != nullptr ? options->pattern : L"*.*";
  if (!JoinPath(search->prefix, kPathChars, path, separator) ||
      !JoinPath(search->search, kPathChars, search->prefix, pattern))
    return 0;

  UniqueFind find(FindFirstFileW(search->search, &search->found));
  if (!find)
    return 0;
  uint32_t count = 0;
  do {
    const wchar_t* name = search->found.cFileName;
    bool isFolder = (search->found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isFolder && options == nullptr)
      continue;
    const FILETIME& modified = search->found.ftLastWriteTime;
    if (!IsDotName(name)) {
      // An item whose full path would not fit is skipped altogether, progress call included.
      if (!JoinPath(search->itemPath, kPathChars, search->prefix, name))
        continue;
      count += isFolder ? ReportFolder(entries, startIndex + count, *search, modified, *options)
                        : ReportFile(entries, startIndex + count, *search, modified, options);
    }
    if (options != nullptr && ShouldStop(name, *options))
      break;
  } while (FindNextFileW(find.Get(), &search->found));
  return count;
}
