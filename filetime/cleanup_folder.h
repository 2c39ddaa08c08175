#pragma once
// Cleanup: deletes housekeeping files from a folder (or its whole tree) and puts every folder's
// Modified time back afterwards, so that the clean-up leaves no trace in folder times.

#include <cstdint>

#include "filetime/junk_file.h"

// Returns the number of files deleted, those in subfolders included. A junk file whose full path
// would not fit in MAX_PATH is left alone, and such a subfolder is not entered: a shortened path
// could name a different item.
uint32_t CleanupFolder(const wchar_t* path, bool recurse);
