#pragma once

#include <windows.h>

// True when the folder lists a file at path under exactly name: not a folder, nor a file that
// path reaches only through its short form or another case. path ends in name and holds no
// wildcard.
bool HoldsExactName(const wchar_t* path, const wchar_t* name);
