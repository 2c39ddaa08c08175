#pragma once

#include <windows.h>

// Applies a rename method to the files directly inside folderPath, reading its inputs from the
// Rename dialog's controls. The mode follows from the last two arguments:
// - listView given: preview, one row "old -> new" per file that gets a new name, in listing order;
// - no listView, row negative: rename every such file (MoveFileExW, never replacing a file);
// - no listView, row 0 or more: rename the file that preview row would show (SHFileOperationW,
//   owned by dialog).
// A file whose new name, or either full path, would not fit whole is left out in every mode, so
// preview rows and rename-one agree. Reports nothing.
void RunRenameMethod(HWND dialog, const wchar_t* folderPath, int method, HWND listView, int row);
