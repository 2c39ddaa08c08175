#pragma once
// Lists a folder, or its whole tree, into a caller's array of FolderEntry records. Callers count
// first (entries null), allocate that many zeroed records, then fill with the same arguments.

#include <windows.h>

#include <cstdint>

inline constexpr uint32_t EnumRecurse = 1;
inline constexpr uint32_t EnumIncludeFolders = 2;
inline constexpr uint32_t EnumOpenHandle = 4;

struct FolderEntry {
  wchar_t name[MAX_PATH];
  wchar_t fullPath[MAX_PATH];
  uint32_t attributes;
  // The last-write stamp of a file, as the file system keeps it; zero for a folder.
  FILETIME modifiedUtc;
};

// Sees every reported item. The handle is the open item with EnumOpenHandle (else null) and is
// closed once the callback returns. For a file, 0 leaves it out; for a folder the result is
// ignored. modifiedUtc is the item's last-write stamp, folders included.
using EnumEntryCallback = int (*)(const wchar_t* fullPath, HANDLE item, const FILETIME* modifiedUtc,
                                  void* context);

// Sees the own name of every search result, "." and ".." included; 1 stops the whole walk.
using EnumProgressCallback = int (*)(const wchar_t* name, void* context);

// Owned by the caller and handed down unchanged to the calls for subfolders.
struct EnumerateOptions {
  uint32_t maxEntries;    // capacity of the entry array; 0 means the array holds everything
  const wchar_t* pattern; // FindFirstFileW wildcards, used in every folder; null means "*.*"
  uint32_t flags;         // EnumRecurse, EnumIncludeFolders, EnumOpenHandle
  EnumEntryCallback entryCallback;
  void* entryContext;
  EnumProgressCallback progressCallback;
  void* progressContext;
  int32_t aborted; // cleared by every call; 1 when progressCallback stopped the walk
};

// Stores this call's first item at entries[startIndex] (0 for a top-level call) and returns the
// number of items reported, nested folders included; items beyond maxEntries are counted but not
// stored. Options null: files only, all of them, no callbacks, no limit. An item whose full path
// would not fit in MAX_PATH is left out altogether, and a folder whose paths below it would not
// fit is not entered: a shortened path could name a different item.
uint32_t EnumerateFolder(FolderEntry* entries, const wchar_t* path, uint32_t startIndex,
                         EnumerateOptions* options);
