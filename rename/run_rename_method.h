#pragma once

#include <windows.h>

// Told of every rename a run made, with the file's old and new name in the folder.
struct RenameObserver {
  void (*renamed)(const wchar_t* oldName, const wchar_t* newName, void* context);
  void* context;
};

// Applies a rename method to the files directly inside folderPath, reading its inputs from the
// Rename dialog's controls. The mode follows from the last two arguments:
// - listView given: preview, one row "old -> new" per file that gets a new name, in listing order;
// - no listView, row negative: rename every such file (MoveFileExW, never replacing a file);
// - no listView, row 0 or more: rename the file named at the start of that row of the dialog's
//   list (SHFileOperationW, owned by dialog), and only when the current inputs still give it the
//   new name the row shows and no other file holds that name.
// A file whose old or new name is not a plain file name, or whose new name or either full path
// would not fit whole, is left out in every mode. Returns how many files now carry their new
// names; observer (may be null) hears of each.
int RunRenameMethod(HWND dialog, const wchar_t* folderPath, int method, HWND listView, int row,
                    const RenameObserver* observer = nullptr);
