#include "rename/find_match.h"

#ifdef _WIN32
#include <windows.h>
#include <shlwapi.h>
#endif

#include <cwchar>

namespace {

constexpr size_t kDottedCapacity = 262; // a name of up to 260 characters, a dot and a terminator

#ifndef _WIN32

wchar_t FoldCase(wchar_t c) {
  if ((c >= L'A' && c <= L'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
    return static_cast<wchar_t>(c + 0x20);
  // Latin Extended-A pairs: upper case on the even code points, from 0x139 on the odd ones.
  if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
    return static_cast<wchar_t>(c | 1);
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
    return (c & 1) != 0 ? static_cast<wchar_t>(c + 1) : c;
  if (c == 0x178)
    return 0xFF;
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2)
    return static_cast<wchar_t>(c + 0x20);
  if (c >= 0x410 && c <= 0x42F)
    return static_cast<wchar_t>(c + 0x20);
  if (c >= 0x400 && c <= 0x40F)
    return static_cast<wchar_t>(c + 0x50);
  return c;
}

bool SameAt(const wchar_t* text, const wchar_t* find, bool caseSensitive) {
  for (; *find != L'\0'; ++text, ++find) {
    if (*text == L'\0')
      return false;
    if (caseSensitive ? *text != *find : FoldCase(*text) != FoldCase(*find))
      return false;
  }
  return true;
}

#endif

// As the file system compares names: ordinal, case aside.
bool SameIgnoringCase(wchar_t a, wchar_t b) {
#ifdef _WIN32
  return CompareStringOrdinal(&a, 1, &b, 1, TRUE) == CSTR_EQUAL;
#else
  return FoldCase(a) == FoldCase(b);
#endif
}

// '*' any run of characters, '?' one. A mismatch after a '*' lets that '*' take one more
// character, so the match costs at most name length times filter length steps.
bool MatchesWildcards(const wchar_t* name, const wchar_t* filter) {
  const wchar_t* star = nullptr;
  const wchar_t* resume = name;
  while (*name != L'\0') {
    if (*filter == L'*') {
      star = filter++;
      resume = name;
    } else if (*filter != L'\0' && (*filter == L'?' || SameIgnoringCase(*filter, *name))) {
      ++filter;
      ++name;
    } else if (star != nullptr) {
      filter = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*filter == L'*')
    ++filter;
  return *filter == L'\0';
}

} // namespace

const wchar_t* FindMatch(const wchar_t* text, const wchar_t* find, bool caseSensitive) {
  if (find[0] == L'\0')
    return nullptr;
#ifdef _WIN32
  return caseSensitive ? StrStrW(text, find) : StrStrIW(text, find);
#else
  for (; *text != L'\0'; ++text) {
    if (SameAt(text, find, caseSensitive))
      return text;
  }
  return nullptr;
#endif
}

bool MatchesFilter(const wchar_t* name, const wchar_t* filter) {
  if (MatchesWildcards(name, filter))
    return true;
  size_t length = BoundedLength(name, kDottedCapacity);
  if (wcschr(name, L'.') != nullptr || length + 2 > kDottedCapacity)
    return false;
  wchar_t dotted[kDottedCapacity];
  wmemcpy(dotted, name, length);
  dotted[length] = L'.';
  dotted[length + 1] = L'\0';
  return MatchesWildcards(dotted, filter);
}

size_t BoundedLength(const wchar_t* text, size_t limit) {
  size_t length = 0;
  while (length < limit && text[length] != L'\0')
    ++length;
  return length;
}
