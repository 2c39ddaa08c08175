#pragma once
// The housekeeping files that other systems leave in folders, told by their names alone.

// 1 for a file name (the name alone, without folder) that Cleanup deletes: ".DS_Store", a
// "Thumbs" database ("Thumbs*.db") and "._" companion files; else 0.
int IsJunkFile(const wchar_t* name);
