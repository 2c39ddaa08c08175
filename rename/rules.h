#pragma once
// The rename rules: pure functions from a base name (the file name without its extension) to a
// new base name. Each writes the new base name into out, a buffer of kNameCapacity characters,
// and returns true, or returns false to leave the file out (no preview row, no rename). A result
// that would not fit a file-name component is refused, never cut: a cut name is not what the
// user asked for.

#include <cstddef>

inline constexpr size_t kNameCapacity = 256; // a file-name component and its terminator

enum class MatchAnchor { Anywhere, Begin, End };

// Every non-overlapping match, from left to right.
bool ReplaceAllMatches(const wchar_t* base, const wchar_t* find, const wchar_t* replace,
                       bool caseSensitive, wchar_t* out);

// The first match at or after the anchor's start; Begin takes it only at position 0, End only
// when it ends the base name.
bool ReplaceFirstMatch(const wchar_t* base, const wchar_t* find, const wchar_t* replace,
                       bool caseSensitive, MatchAnchor anchor, wchar_t* out);

// The first n characters, counted in UTF-16 units, one less where the nth is the first half of a
// pair; false when the base name has n or fewer, or n is not positive.
bool TruncateBaseName(const wchar_t* base, int n, wchar_t* out);

// Deletes the matches that start before position n; n of 0 or less means all of them.
bool RemoveMatches(const wchar_t* base, const wchar_t* find, bool caseSensitive, int n,
                   wchar_t* out);

// A rule with its inputs bound, as a run applies it to every name of the folder. The texts are
// borrowed from the run's inputs.
struct RenameRule {
  enum class Kind { ReplaceAll, ReplaceFirst, Truncate, Remove };
  Kind kind;
  MatchAnchor anchor; // ReplaceFirst only
  const wchar_t* find;
  const wchar_t* replace;
  bool caseSensitive;
  int length; // Truncate's n, Remove's limit
};

bool ApplyRule(const RenameRule& rule, const wchar_t* base, wchar_t* out);

// Splits name at its last dot, applies the rule to the base name and keeps the extension. Writes
// the new name into newName (260 characters); false when the rule leaves the file out, or when the
// name's parts or the new name would not fit whole.
// A file whose old or new name is not a plain file name is left out too: a path built from it
// would name another file, another folder or a device. So is a new name holding half of a
// surrogate pair.
bool BuildNewName(const wchar_t* name, const RenameRule& rule, wchar_t* newName);

// True when Windows takes name as given for a file in a folder: it holds none of \ / : * ? " < > |
// nor a character below 32, does not end in "." or " " (which the system drops), and its part
// before the first dot is no device name (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1 to COM9,
// LPT1 to LPT9, COM or LPT with a superscript 1, 2 or 3), whatever its case and trailing blanks.
bool IsPlainFileName(const wchar_t* name);
