#pragma once
// "Match DateTime..": copies time stamps from a Reference folder tree onto the items at the same
// relative paths under a Target folder tree.

#include <windows.h>

#include <cstdint>

// The bits of the "MatchedFoldersOption" setting; other bits are ignored.
inline constexpr uint32_t kMatchCopyModified = 0x01;
inline constexpr uint32_t kMatchCopyCreated = 0x02;
inline constexpr uint32_t kMatchPlainItems = 0x10; // any item, against whatever is at its place
inline constexpr uint32_t kMatchFolders = 0x20;    // folders, against folders only
inline constexpr uint32_t kDefaultMatchOption = kMatchFolders | kMatchCopyModified; // 33

// One per run, handed to every MatchItem call.
struct MatchContext {
  wchar_t referenceFolder[MAX_PATH]; // with a trailing backslash
  wchar_t targetFolder[MAX_PATH];    // with a trailing backslash
  uint32_t count; // items that found a counterpart whose times were read and written
  uint32_t option;
};

// Asks the user to confirm the two folders in a Yes/No box owned by owner (the main window), then
// matches with option, the "MatchedFoldersOption" setting as the caller read it for this run.
// Returns the count; 0 when not confirmed or when either path is not an existing folder.
uint32_t MatchFolders(HWND owner, const wchar_t* referencePath, const wchar_t* targetPath,
                      uint32_t option);

// The walk's entry callback for one Reference item; the handle and time are not looked at. A
// counterpart whose path would pass MAX_PATH is skipped, never reached through a cut path.
// Always 1.
int MatchItem(const wchar_t* fullPath, HANDLE item, const FILETIME* modifiedUtc, void* context);
