#include "filetime/junk_file.h"

#include <cstddef>
#include <cwchar>

namespace {

wchar_t FoldAscii(wchar_t c) {
  return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// Ordinal, folding ASCII letters only: a linguistic comparison may call two names equal that differ
// by an ignorable character, and this answer decides what gets deleted.
bool SameIgnoringCase(const wchar_t* text, const wchar_t* ascii, size_t length) {
  for (size_t i = 0; i < length; ++i)
    if (FoldAscii(text[i]) != FoldAscii(ascii[i]))
      return false;
  return true;
}

// From the last dot on, or empty. (The system's splitter would stop at a separator, but then the
// part from the last dot holds that separator and cannot be ".db" either.)
const wchar_t* Extension(const wchar_t* name, size_t length) {
  const wchar_t* dot = wcsrchr(name, L'.');
  return dot != nullptr ? dot : name + length;
}

bool IsDbExtension(const wchar_t* extension) {
  return wcslen(extension) == 3 && SameIgnoringCase(extension, L".db", 3);
}

} // namespace

int IsJunkFile(const wchar_t* name) {
  if (name == nullptr)
    return 0;
  size_t length = wcslen(name);
  if (length == 9 && SameIgnoringCase(name, L".DS_Store", 9))
    return 1;
  // A database file is decided here, by its first six characters alone.
  if (length >= 9 && IsDbExtension(Extension(name, length)))
    return SameIgnoringCase(name, L"Thumbs", 6) ? 1 : 0;
  return length >= 2 && name[0] == L'.' && name[1] == L'_' ? 1 : 0;
}
