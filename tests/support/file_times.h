#pragma once
// File-time helpers for tests, worked out without the conversions under test.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/file_ticks.h"
#include "tests/support/iat_patch.h"

inline SYSTEMTIME Local(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second,
                        WORD milliseconds = 0) {
  return {year, month, 0, day, hour, minute, second, milliseconds};
}
// A test's usual time: noon in mid-June of that year, the same year in every time zone.
inline SYSTEMTIME At(WORD year) {
  return Local(year, 6, 15, 12, 0, 0);
}
// A local time as a row expects it: the year alone for At(year), else the date and time in full.
std::wstring Shown(const SYSTEMTIME& local);
// Whether the two below follow each date's own daylight saving, or the offset in effect now.
void ExpectEachDate(bool on);
std::wstring ShownTicks(uint64_t utc);
uint64_t ExpectedUtcTicks(const SYSTEMTIME& local);
// While it lives, each date's daylight saving follows Central Europe's rule, whatever the zone.
struct CentralEuropeRule : ImportPatch {
  CentralEuropeRule();
};
// The Modified time the file system holds for path, or its Created time.
uint64_t FileTicks(const std::wstring& path, bool created = false);
void SetModifiedTicks(const std::wstring& path, uint64_t ticks);

// What the code under test handed to SetFileTime while the recorder lives; the call still happens.
struct SetFileTimeRecorder : ImportPatch {
  SetFileTimeRecorder();
  // Each call under folder, sorted: "relative C<time> M<time>" ("-": no slot; "+N" below the ms),
  // " A" for a last-access time, " failed"; Under joins them with "; ".
  std::vector<std::wstring> Lines(const std::wstring& folder) const;
  std::wstring Under(const std::wstring& folder) const;
};

// A stamp past what FileTimeToSystemTime takes on Windows, also once moved by any zone's offset.
inline constexpr uint64_t kUnconvertibleTicks = 0xC000000000000000ull;

// While it lives, path's Created time reads as this, or without one access is denied; as Windows
// does and Wine does not, FileTimeToSystemTime refuses stamps past 0x7FFFFFFFFFFFFFFF.
struct GetFileTimeOverride {
  GetFileTimeOverride(const std::wstring& path, std::optional<uint64_t> created);
  ~GetFileTimeOverride();
};
