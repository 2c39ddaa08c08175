#include "rename/rules.h"

#include <cwchar>

#include "base/bounded_text.h"
#include "rename/find_match.h"

namespace {

// Appends count characters to out (kNameCapacity); false when they would not fit.
bool Append(wchar_t* out, size_t* used, const wchar_t* text, size_t count) {
  if (*used + count >= kNameCapacity)
    return false;
  for (size_t i = 0; i < count; ++i)
    out[*used + i] = text[i];
  *used += count;
  out[*used] = L'\0';
  return true;
}

size_t Length(const wchar_t* text) {
  return BoundedLength(text, static_cast<size_t>(-1));
}

// Collects non-overlapping matches from the left into positions; stops at the first match at or
// after stopAt. Returns how many were found.
size_t CollectMatches(const wchar_t* base, const wchar_t* find, bool caseSensitive, size_t stopAt,
                      size_t* positions) {
  size_t count = 0;
  size_t findLength = Length(find);
  const wchar_t* from = base;
  // A base name holds at most kNameCapacity - 1 characters, so it has no more matches than that.
  while (count < kNameCapacity - 1) {
    const wchar_t* match = FindMatch(from, find, caseSensitive);
    if (match == nullptr || static_cast<size_t>(match - base) >= stopAt)
      break;
    positions[count++] = static_cast<size_t>(match - base);
    from = match + findLength;
  }
  return count;
}

// The base name with each match replaced by replace (empty to delete it).
bool Rebuild(const wchar_t* base, size_t findLength, const size_t* positions, size_t count,
             const wchar_t* replace, wchar_t* out) {
  size_t used = 0;
  size_t replaceLength = Length(replace);
  size_t kept = 0;
  out[0] = L'\0';
  for (size_t i = 0; i < count; ++i) {
    if (!Append(out, &used, base + kept, positions[i] - kept) ||
        !Append(out, &used, replace, replaceLength))
      return false;
    kept = positions[i] + findLength;
  }
  return Append(out, &used, base + kept, Length(base + kept)) && used > 0;
}

bool ReplaceMatches(const wchar_t* base, const wchar_t* find, const wchar_t* replace,
                    bool caseSensitive, size_t stopAt, wchar_t* out) {
  if (find[0] == L'\0' || base[0] == L'\0')
    return false;
  size_t positions[kNameCapacity];
  size_t count = CollectMatches(base, find, caseSensitive, stopAt, positions);
  return count > 0 && Rebuild(base, Length(find), positions, count, replace, out);
}

bool IsHighSurrogate(wchar_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

// Half a pair is no character: Windows keeps such a name, but no program shows it.
bool HoldsUnpairedSurrogate(const wchar_t* name) {
  for (; *name != L'\0'; ++name) {
    if (IsHighSurrogate(name[0]) && IsLowSurrogate(name[1]))
      ++name;
    else if (IsHighSurrogate(*name) || IsLowSurrogate(*name))
      return true;
  }
  return false;
}

// Windows reads such a name as a device in any folder: "folder\NUL.jpg" is the NUL device, and a
// copy into it keeps nothing.
bool NamesDevice(const wchar_t* name) {
  size_t length = 0;
  while (name[length] != L'\0' && name[length] != L'.')
    ++length;
  while (length > 0 && name[length - 1] == L' ')
    --length;
  wchar_t stem[8] = {};
  if (length >= sizeof(stem) / sizeof(stem[0]))
    return false;
  for (size_t i = 0; i < length; ++i)
    stem[i] = name[i] >= L'a' && name[i] <= L'z' ? static_cast<wchar_t>(name[i] - 32) : name[i];
  static constexpr const wchar_t* kDevices[] = {L"CON", L"PRN",    L"AUX",
                                                L"NUL", L"CONIN$", L"CONOUT$"};
  for (const wchar_t* device : kDevices)
    if (wcscmp(stem, device) == 0)
      return true;
  wchar_t number = stem[3];
  bool port = length == 4 && (wcsncmp(stem, L"COM", 3) == 0 || wcsncmp(stem, L"LPT", 3) == 0);
  return port && ((number >= L'1' && number <= L'9') || number == L'\u00B9' ||
                  number == L'\u00B2' || number == L'\u00B3');
}

} // namespace

bool ReplaceAllMatches(const wchar_t* base, const wchar_t* find, const wchar_t* replace,
                       bool caseSensitive, wchar_t* out) {
  return ReplaceMatches(base, find, replace, caseSensitive, static_cast<size_t>(-1), out);
}

bool ReplaceFirstMatch(const wchar_t* base, const wchar_t* find, const wchar_t* replace,
                       bool caseSensitive, MatchAnchor anchor, wchar_t* out) {
  size_t baseLength = Length(base);
  size_t findLength = Length(find);
  if (findLength == 0 || baseLength < findLength)
    return false;
  size_t start = anchor == MatchAnchor::End ? baseLength - findLength : 0;
  const wchar_t* match = FindMatch(base + start, find, caseSensitive);
  if (match == nullptr || (anchor == MatchAnchor::Begin && match != base))
    return false;
  size_t position = static_cast<size_t>(match - base);
  return Rebuild(base, findLength, &position, 1, replace, out);
}

bool TruncateBaseName(const wchar_t* base, int n, wchar_t* out) {
  if (n <= 0)
    return false;
  size_t keep = static_cast<size_t>(n);
  if (BoundedLength(base, keep + 1) <= keep)
    return false;
  // A character outside the Basic Multilingual Plane is a pair of units: it is kept whole or not
  // at all, since half of it is no character.
  if (IsHighSurrogate(base[keep - 1]) && IsLowSurrogate(base[keep]))
    --keep;
  size_t used = 0;
  return keep > 0 && Append(out, &used, base, keep);
}

bool RemoveMatches(const wchar_t* base, const wchar_t* find, bool caseSensitive, int n,
                   wchar_t* out) {
  size_t stopAt = n > 0 ? static_cast<size_t>(n) : static_cast<size_t>(-1);
  return ReplaceMatches(base, find, L"", caseSensitive, stopAt, out);
}

bool ApplyRule(const RenameRule& rule, const wchar_t* base, wchar_t* out) {
  switch (rule.kind) {
  case RenameRule::Kind::ReplaceAll:
    return ReplaceAllMatches(base, rule.find, rule.replace, rule.caseSensitive, out);
  case RenameRule::Kind::ReplaceFirst:
    return ReplaceFirstMatch(base, rule.find, rule.replace, rule.caseSensitive, rule.anchor, out);
  case RenameRule::Kind::Truncate:
    return TruncateBaseName(base, rule.length, out);
  case RenameRule::Kind::Remove:
    return RemoveMatches(base, rule.find, rule.caseSensitive, rule.length, out);
  }
  return false;
}

bool BuildNewName(const wchar_t* name, const RenameRule& rule, wchar_t* newName) {
  size_t length = BoundedLength(name, kPathCapacity);
  if (length == kPathCapacity)
    return false;
  size_t dot = length;
  for (size_t i = length; i > 0; --i) {
    if (name[i - 1] == L'.') {
      dot = i - 1;
      break;
    }
  }
  // Base name and extension are file-name components; a name the splitter could not hold whole
  // is left alone.
  if (dot >= kNameCapacity || length - dot >= kNameCapacity)
    return false;
  wchar_t base[kNameCapacity];
  for (size_t i = 0; i < dot; ++i)
    base[i] = name[i];
  base[dot] = L'\0';
  wchar_t newBase[kNameCapacity];
  if (!ApplyRule(rule, base, newBase))
    return false;
  return FormatBounded(newName, kPathCapacity, L"%s%s", newBase, name + dot) == 0 &&
         IsPlainFileName(name) && IsPlainFileName(newName) && !HoldsUnpairedSurrogate(newName);
}

bool IsPlainFileName(const wchar_t* name) {
  size_t length = 0;
  for (; name[length] != L'\0'; ++length) {
    if (name[length] < 32)
      return false;
    for (const wchar_t* c = L"\\/:*?\"<>|"; *c != L'\0'; ++c)
      if (name[length] == *c)
        return false;
  }
  return length > 0 && name[length - 1] != L'.' && name[length - 1] != L' ' && !NamesDevice(name);
}
