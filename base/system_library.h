#pragma once
// A portable exe runs from folders such as Downloads, where a web page can leave a file named like
// a system DLL; Windows looks beside the exe first for any DLL that is not a known one. So every
// DLL the program loads by name comes from the system folder.

#include <windows.h>

#include "base/handles.h"
#include "base/join_path.h"

// Takes the exe's folder (and the current one) out of the search for every later load, where the
// system has the call (Windows 8, or 7 with its loader update).
inline void SearchSystemFolderOnly() {
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  FARPROC found = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
  if (found)
    reinterpret_cast<SetDirectories>(reinterpret_cast<void*>(found))(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// Loads name (such as L"version.dll") by its full path in the system folder; empty on failure.
inline UniqueLibrary LoadSystemLibrary(const wchar_t* name) {
  wchar_t folder[kPathCapacity];
  UINT length = GetSystemDirectoryW(folder, ARRAYSIZE(folder));
  wchar_t prefix[kPathCapacity];
  wchar_t path[kPathCapacity];
  if (length == 0 || length >= ARRAYSIZE(folder) || !JoinFolderPrefix(prefix, folder) ||
      !JoinPath(path, prefix, name))
    return UniqueLibrary();
  // The DLL's own imports are then looked for in the system folder too.
  return UniqueLibrary(LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

// The address of an exported function as a pointer of the caller's type.
template <typename Function>
Function LibraryFunction(const UniqueLibrary& library, const char* name) {
  return library ? reinterpret_cast<Function>(
                       reinterpret_cast<void*>(GetProcAddress(library.Get(), name)))
                 : nullptr;
}
