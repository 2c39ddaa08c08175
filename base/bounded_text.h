#pragma once
// Bounded formatting and appending into fixed UTF-16 buffers. Both always leave the buffer
// terminated and never write past it; truncation is reported but callers may ignore it.

#include <cstddef>
#include <cstdint>

// The system's codes for an invalid argument and for a buffer that was too small.
inline constexpr int32_t kTextInvalidArgument = static_cast<int32_t>(0x80070057u);
inline constexpr int32_t kTextBufferTooSmall = static_cast<int32_t>(0x8007007Au);

// Path buffers hold 260 characters with the terminator.
inline constexpr size_t kPathCapacity = 260;

// printf-style over wide text: "%s" takes a wide string, "%d" an int, "%04x" an unsigned.
int32_t FormatBounded(wchar_t* dest, size_t capacity, const wchar_t* format, ...);

// Appends source to dest, a buffer of kPathCapacity characters holding a terminated text.
int32_t AppendBounded(wchar_t* dest, const wchar_t* source);
