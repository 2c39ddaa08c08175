#pragma once
// File-time helpers for tests, worked out without the conversions under test.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

SYSTEMTIME Local(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second,
                 WORD milliseconds = 0);

uint64_t Ticks(const FILETIME& time);
FILETIME FromTicks(uint64_t ticks);

inline constexpr int64_t kTicksPerMinute = 600000000;
inline constexpr uint64_t kTicksPerMillisecond = 10000;

// Minutes to add to local time to get UTC, as in effect now.
int64_t CurrentBiasMinutes();

// The UTC stamp a local wall-clock value must become under the one-offset rule.
uint64_t ExpectedUtcTicks(const SYSTEMTIME& local);

struct RawTimes {
  FILETIME created;
  FILETIME modified;
};

RawTimes ReadRaw(const std::wstring& path);
void WriteRaw(const std::wstring& path, const FILETIME* created, const FILETIME* modified);

// Some file systems (and Wine on Linux) accept a Created time but do not keep it. Probes with a
// scratch file in the folder.
bool FileSystemKeepsCreatedTimes(const std::wstring& folder);

// What the code under test handed to SetFileTime, recorded by a replacement in the import table
// while the object lives; the real call still happens.
struct SetFileTimeCall {
  std::wstring path; // from the handle
  std::optional<uint64_t> created;
  bool lastAccessGiven;
  std::optional<uint64_t> modified;
};

class SetFileTimeRecorder {
public:
  SetFileTimeRecorder();
  ~SetFileTimeRecorder();
  SetFileTimeRecorder(const SetFileTimeRecorder&) = delete;
  SetFileTimeRecorder& operator=(const SetFileTimeRecorder&) = delete;

  bool Applied() const;
  const std::vector<SetFileTimeCall>& Calls() const;
  // The last call for this path, if any.
  std::optional<SetFileTimeCall> LastFor(const std::wstring& path) const;
};

// A stamp past what FileTimeToSystemTime takes on Windows.
inline constexpr uint64_t kUnconvertibleTicks = 0x8000000000000000ull;

// While the object lives, GetFileTime on the file or folder at path answers with this Created
// time in place of the real one, or, without one, fails with access denied. FileTimeToSystemTime
// refuses stamps past 0x7FFFFFFFFFFFFFFF then, as Windows does and Wine does not.
class GetFileTimeOverride {
public:
  GetFileTimeOverride(const std::wstring& path, std::optional<uint64_t> created);
  ~GetFileTimeOverride();
  GetFileTimeOverride(const GetFileTimeOverride&) = delete;
  GetFileTimeOverride& operator=(const GetFileTimeOverride&) = delete;

  bool Applied() const;
};
