#pragma once

#include <cstddef>

// The first occurrence of find in text, or null. The exe asks the shell's StrStrW / StrStrIW, so
// that "without regard to case" means what Windows means by it; the native build folds case itself
// for ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic.
const wchar_t* FindMatch(const wchar_t* text, const wchar_t* find, bool caseSensitive);

// The text's length, never reading past limit characters; limit when no terminator comes first.
size_t BoundedLength(const wchar_t* text, size_t limit);

// True when name matches filter as the user sees it: '*' stands for any run of characters, '?' for
// one, letters match in either case, and a name without a dot also matches as if it ended in one
// ("*.*" takes every name, "*." those without an extension). Only the name itself counts, never
// the short 8.3 form that the system's own search also matches.
bool MatchesFilter(const wchar_t* name, const wchar_t* filter);
