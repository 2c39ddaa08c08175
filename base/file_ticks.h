#pragma once
// A FILETIME as the one count of 100-nanosecond intervals since 1601 that it holds.

#include <windows.h>

#include <cstdint>

inline uint64_t Ticks(const FILETIME& time) {
  return (uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

inline FILETIME FromTicks(uint64_t ticks) {
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}
