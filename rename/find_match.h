#pragma once

#include <cstddef>

// The first occurrence of find in text, or null. The exe asks the shell's StrStrW / StrStrIW, so
// that "without regard to case" means what Windows means by it; the native build folds case itself
// for ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic.
const wchar_t* FindMatch(const wchar_t* text, const wchar_t* find, bool caseSensitive);

// The text's length, never reading past limit characters; limit when no terminator comes first.
size_t BoundedLength(const wchar_t* text, size_t limit);
