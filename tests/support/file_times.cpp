#include "tests/support/file_times.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>

#include "base/handles.h"

static bool g_eachDate;

void ExpectEachDate(bool on) {
  g_eachDate = on;
}

static int64_t BiasTicks() { // ticks west of UTC now, whatever the season of the time converted
  TIME_ZONE_INFORMATION zone;
  DWORD which = GetTimeZoneInformation(&zone);
  int64_t bias = zone.Bias + (which == TIME_ZONE_ID_DAYLIGHT   ? zone.DaylightBias
                              : which == TIME_ZONE_ID_STANDARD ? zone.StandardBias
                                                               : 0);
  return bias * 600000000;
}

uint64_t ExpectedUtcTicks(const SYSTEMTIME& local) {
  FILETIME wall;
  SYSTEMTIME utc = local;
  EXPECT_TRUE((!g_eachDate || TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc)) &&
              SystemTimeToFileTime(&utc, &wall));
  return Ticks(wall) + (g_eachDate ? 0 : BiasTicks());
}

static bool LocalOf(uint64_t utc, SYSTEMTIME* local) {
  FILETIME stamp = FromTicks(g_eachDate ? utc : utc - BiasTicks());
  SYSTEMTIME universal;
  return g_eachDate ? FileTimeToSystemTime(&stamp, &universal) &&
                          SystemTimeToTzSpecificLocalTime(nullptr, &universal, local)
                    : FileTimeToSystemTime(&stamp, local) != FALSE;
}

static BOOL WINAPI CentralEurope(USHORT, DYNAMIC_TIME_ZONE_INFORMATION*,
                                 TIME_ZONE_INFORMATION* zone) {
  *zone = {-60, {}, {0, 10, 0, 5, 3, 0, 0, 0}, 0, {}, {0, 3, 0, 5, 2, 0, 0, 0}, -60};
  return TRUE;
}

CentralEuropeRule::CentralEuropeRule()
    : ImportPatch("kernel32.dll", "GetTimeZoneInformationForYear", CentralEurope) {}

std::wstring Shown(const SYSTEMTIME& t) {
  if (t.wMonth == 6 && t.wDay == 15 && t.wHour == 12 &&
      t.wMinute + t.wSecond + t.wMilliseconds == 0)
    return std::to_wstring(t.wYear);
  wchar_t text[40];
  swprintf(text, 40, L"%04u-%02u-%02u %02u:%02u:%02u.%03u", t.wYear, t.wMonth, t.wDay, t.wHour,
           t.wMinute, t.wSecond, t.wMilliseconds);
  return text;
}

uint64_t FileTicks(const std::wstring& path, bool created) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
  return Ticks(created ? data.ftCreationTime : data.ftLastWriteTime);
}

void SetModifiedTicks(const std::wstring& path, uint64_t ticks) {
  UniqueFile file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  FILETIME time = FromTicks(ticks);
  EXPECT_TRUE(file && SetFileTime(file.Get(), nullptr, nullptr, &time));
}

namespace {

std::wstring PathOfHandle(HANDLE file) {
  wchar_t path[600] = {};
  DWORD length = GetFinalPathNameByHandleW(file, path, ARRAYSIZE(path), FILE_NAME_NORMALIZED);
  std::wstring text(path, length < ARRAYSIZE(path) ? length : 0);
  return text.rfind(L"\\\\?\\", 0) == 0 ? text.substr(4) : text;
}

std::wstring ShownSlot(const FILETIME* utc) {
  uint64_t below = utc != nullptr ? Ticks(*utc) % 10000 : 0; // a part below the millisecond
  return utc != nullptr ? ShownTicks(Ticks(*utc)) + (below ? L"+" + std::to_wstring(below) : L"")
                        : L"-";
}

decltype(&SetFileTime) g_setFileTime;
std::vector<std::pair<std::wstring, std::wstring>> g_calls;

BOOL WINAPI RecordingSetFileTime(HANDLE file, const FILETIME* created, const FILETIME* accessed,
                                 const FILETIME* modified) {
  BOOL written = g_setFileTime(file, created, accessed, modified);
  DWORD error = GetLastError();
  g_calls.push_back({PathOfHandle(file), L" C" + ShownSlot(created) + L" M" + ShownSlot(modified) +
                                             (accessed != nullptr ? L" A" : L"") +
                                             (written ? L"" : L" failed")});
  SetLastError(error);
  return written;
}

struct Override {
  ImportPatch read;
  ImportPatch query;
  ImportPatch convert;
  std::wstring path;
  std::optional<uint64_t> created;
};
std::unique_ptr<Override> g_override;

BOOL Answer(const std::wstring& path, BOOL read, FILETIME* created) {
  if (lstrcmpiW(path.c_str(), g_override->path.c_str()) != 0)
    return read;
  if (!g_override->created)
    SetLastError(ERROR_ACCESS_DENIED);
  else if (read && created != nullptr)
    *created = FromTicks(*g_override->created);
  return read && g_override->created;
}

BOOL WINAPI OverriddenGetFileTime(HANDLE file, FILETIME* created, FILETIME* accessed,
                                  FILETIME* modified) {
  auto original = g_override->read.Original<decltype(&GetFileTime)>();
  return Answer(PathOfHandle(file), original(file, created, accessed, modified), created);
}

BOOL WINAPI OverriddenGetFileAttributesExW(LPCWSTR path, GET_FILEEX_INFO_LEVELS level, LPVOID out) {
  auto original = g_override->query.Original<decltype(&GetFileAttributesExW)>();
  return Answer(path, original(path, level, out),
                &static_cast<WIN32_FILE_ATTRIBUTE_DATA*>(out)->ftCreationTime);
}

BOOL WINAPI WindowsFileTimeToSystemTime(const FILETIME* time, SYSTEMTIME* out) {
  if (Ticks(*time) > 0x7FFFFFFFFFFFFFFFull) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return g_override->convert.Original<decltype(&FileTimeToSystemTime)>()(time, out);
}

} // namespace

SetFileTimeRecorder::SetFileTimeRecorder()
    : ImportPatch("kernel32.dll", "SetFileTime", RecordingSetFileTime) {
  g_calls.clear();
  g_setFileTime = Original<decltype(&SetFileTime)>();
  EXPECT_TRUE(Applied());
}

std::wstring ShownTicks(uint64_t utc) {
  SYSTEMTIME local = {};
  return LocalOf(utc, &local) ? Shown(local) : L"?";
}

std::vector<std::wstring> SetFileTimeRecorder::Lines(const std::wstring& folder) const {
  std::vector<std::wstring> lines;
  for (const auto& [path, slots] : g_calls)
    if (path.size() > folder.size() &&
        CompareStringOrdinal(path.c_str(), int(folder.size()) + 1, (folder + L"\\").c_str(), -1,
                             TRUE) == CSTR_EQUAL)
      lines.push_back(path.substr(folder.size() + 1) + slots);
  std::sort(lines.begin(), lines.end());
  return lines;
}

std::wstring SetFileTimeRecorder::Under(const std::wstring& folder) const {
  std::wstring text;
  for (const std::wstring& line : Lines(folder))
    text += (text.empty() ? L"" : L"; ") + line;
  return text;
}

GetFileTimeOverride::GetFileTimeOverride(const std::wstring& path,
                                         std::optional<uint64_t> created) {
  g_override.reset(
      new Override{{"kernel32.dll", "GetFileTime", OverriddenGetFileTime},
                   {"kernel32.dll", "GetFileAttributesExW", OverriddenGetFileAttributesExW},
                   {"kernel32.dll", "FileTimeToSystemTime", WindowsFileTimeToSystemTime},
                   path,
                   created});
  EXPECT_TRUE(g_override->read.Applied() && g_override->query.Applied() &&
              g_override->convert.Applied());
}

GetFileTimeOverride::~GetFileTimeOverride() {
  g_override.reset();
}
