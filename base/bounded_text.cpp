#include "base/bounded_text.h"

#include <cstdarg>
#include <limits>

#ifdef _WIN32
#include <windows.h>
#include <strsafe.h>
#endif

namespace {

constexpr size_t kMaxCapacity = std::numeric_limits<int32_t>::max();

#ifndef _WIN32

// The Windows build uses strsafe; this is the same contract for the native build, covering the
// conversions the program uses: %s (wide), %c, %d, %u, %x, %X and %%, with '-', '0' and a width.
class BoundedWriter {
public:
  BoundedWriter(wchar_t* dest, size_t limit) : dest_(dest), limit_(limit) {}

  void Put(wchar_t c) {
    if (written_ < limit_)
      dest_[written_] = c;
    ++written_;
  }
  void Pad(size_t count, wchar_t c) {
    while (count-- > 0)
      Put(c);
  }
  size_t Written() const { return written_; }

private:
  wchar_t* dest_;
  size_t limit_;
  size_t written_ = 0;
};

struct Conversion {
  bool leftAlign = false;
  bool zeroPad = false;
  size_t width = 0;
};

void PutField(BoundedWriter& out, const Conversion& conv, const wchar_t* text, size_t length,
              bool negative) {
  size_t body = length + (negative ? 1 : 0);
  size_t pad = conv.width > body ? conv.width - body : 0;
  if (!conv.leftAlign && !conv.zeroPad)
    out.Pad(pad, L' ');
  if (negative)
    out.Put(L'-');
  if (!conv.leftAlign && conv.zeroPad)
    out.Pad(pad, L'0');
  for (size_t i = 0; i < length; ++i)
    out.Put(text[i]);
  if (conv.leftAlign)
    out.Pad(pad, L' ');
}

void PutNumber(BoundedWriter& out, const Conversion& conv, uint64_t value, unsigned base,
               bool upper, bool negative) {
  const wchar_t* digits = upper ? L"0123456789ABCDEF" : L"0123456789abcdef";
  wchar_t text[24];
  size_t length = 0;
  do {
    text[length++] = digits[value % base];
    value /= base;
  } while (value != 0);
  for (size_t i = 0; i < length / 2; ++i) {
    wchar_t c = text[i];
    text[i] = text[length - 1 - i];
    text[length - 1 - i] = c;
  }
  PutField(out, conv, text, length, negative);
}

// Returns false for a conversion it does not know, which counts as a formatting failure.
bool FormatInto(BoundedWriter& out, const wchar_t* format, va_list args) {
  for (const wchar_t* p = format; *p != L'\0'; ++p) {
    if (*p != L'%') {
      out.Put(*p);
      continue;
    }
    Conversion conv;
    for (++p; *p == L'-' || *p == L'0'; ++p) {
      if (*p == L'-')
        conv.leftAlign = true;
      else
        conv.zeroPad = true;
    }
    for (; *p >= L'0' && *p <= L'9'; ++p)
      conv.width = conv.width * 10 + static_cast<size_t>(*p - L'0');
    switch (*p) {
    case L'%':
      out.Put(L'%');
      break;
    case L'c':
      out.Put(static_cast<wchar_t>(va_arg(args, int)));
      break;
    case L's': {
      const wchar_t* text = va_arg(args, const wchar_t*);
      if (text == nullptr)
        text = L"(null)";
      size_t length = 0;
      while (text[length] != L'\0')
        ++length;
      Conversion plain = conv;
      plain.zeroPad = false;
      PutField(out, plain, text, length, false);
      break;
    }
    case L'd': {
      int value = va_arg(args, int);
      uint64_t magnitude = value < 0
                               ? uint64_t{0} - static_cast<uint64_t>(static_cast<int64_t>(value))
                               : static_cast<uint64_t>(value);
      PutNumber(out, conv, magnitude, 10, false, value < 0);
      break;
    }
    case L'u':
      PutNumber(out, conv, va_arg(args, unsigned), 10, false, false);
      break;
    case L'x':
    case L'X':
      PutNumber(out, conv, va_arg(args, unsigned), 16, *p == L'X', false);
      break;
    default:
      return false;
    }
  }
  return true;
}

#endif

} // namespace

int32_t FormatBounded(wchar_t* dest, size_t capacity, const wchar_t* format, ...) {
  if (capacity == 0)
    return kTextInvalidArgument;
  if (capacity > kMaxCapacity) {
    dest[0] = L'\0';
    return kTextInvalidArgument;
  }
  va_list args;
  va_start(args, format);
#ifdef _WIN32
  int32_t result = StringCchVPrintfW(dest, capacity, format, args);
#else
  size_t limit = capacity - 1;
  BoundedWriter out(dest, limit);
  bool formatted = FormatInto(out, format, args);
  int32_t result = formatted && out.Written() <= limit ? 0 : kTextBufferTooSmall;
  dest[out.Written() < limit ? out.Written() : limit] = L'\0';
#endif
  va_end(args);
  return result;
}

int32_t AppendBounded(wchar_t* dest, const wchar_t* source) {
#ifdef _WIN32
  return StringCchCatW(dest, kPathCapacity, source);
#else
  size_t length = 0;
  while (length < kPathCapacity && dest[length] != L'\0')
    ++length;
  if (length == kPathCapacity)
    return kTextInvalidArgument;
  size_t room = kPathCapacity - length;
  wchar_t* out = dest + length;
  while (room > 0 && *source != L'\0') {
    *out++ = *source++;
    --room;
  }
  if (room == 0) {
    out[-1] = L'\0';
    return kTextBufferTooSmall;
  }
  *out = L'\0';
  return 0;
#endif
}
