#include "tests/support/file_times.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/handles.h"
#include "tests/support/iat_patch.h"

SYSTEMTIME Local(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second,
                 WORD milliseconds) {
  SYSTEMTIME time = {};
  time.wYear = year;
  time.wMonth = month;
  time.wDay = day;
  time.wHour = hour;
  time.wMinute = minute;
  time.wSecond = second;
  time.wMilliseconds = milliseconds;
  return time;
}

uint64_t Ticks(const FILETIME& time) {
  return (uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

FILETIME FromTicks(uint64_t ticks) {
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

int64_t CurrentBiasMinutes() {
  TIME_ZONE_INFORMATION zone;
  DWORD which = GetTimeZoneInformation(&zone);
  if (which == TIME_ZONE_ID_DAYLIGHT)
    return zone.Bias + zone.DaylightBias;
  if (which == TIME_ZONE_ID_STANDARD)
    return zone.Bias + zone.StandardBias;
  return zone.Bias;
}

uint64_t ExpectedUtcTicks(const SYSTEMTIME& local) {
  FILETIME wall;
  EXPECT_TRUE(SystemTimeToFileTime(&local, &wall));
  return Ticks(wall) + CurrentBiasMinutes() * kTicksPerMinute;
}

RawTimes ReadRaw(const std::wstring& path) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  RawTimes times = {};
  EXPECT_TRUE(file) << "cannot open " << std::string(path.begin(), path.end());
  EXPECT_TRUE(GetFileTime(file.Get(), &times.created, nullptr, &times.modified));
  return times;
}

void WriteRaw(const std::wstring& path, const FILETIME* created, const FILETIME* modified) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  ASSERT_TRUE(file);
  ASSERT_TRUE(SetFileTime(file.Get(), created, nullptr, modified));
}

bool FileSystemKeepsCreatedTimes(const std::wstring& folder) {
  std::wstring probe = folder + L"\\created-probe.tmp";
  {
    UniqueFile file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
      return false;
  }
  FILETIME created = FromTicks(Ticks(ReadRaw(probe).created) - 3600 * 10000000ull * 24 * 400);
  WriteRaw(probe, &created, nullptr);
  bool kept = Ticks(ReadRaw(probe).created) == Ticks(created);
  DeleteFileW(probe.c_str());
  return kept;
}

namespace {

struct Recording {
  std::unique_ptr<ImportPatch> patch;
  std::vector<SetFileTimeCall> calls;
};

Recording* g_recording;

std::optional<uint64_t> Slot(const FILETIME* time) {
  return time != nullptr ? std::optional<uint64_t>(Ticks(*time)) : std::nullopt;
}

std::wstring PathOfHandle(HANDLE file) {
  wchar_t path[600] = {};
  DWORD length = GetFinalPathNameByHandleW(file, path, ARRAYSIZE(path), FILE_NAME_NORMALIZED);
  std::wstring text(path, length < ARRAYSIZE(path) ? length : 0);
  // Reported as \\?\C:\..., compared with the paths the tests made.
  if (text.rfind(L"\\\\?\\", 0) == 0)
    text.erase(0, 4);
  return text;
}

BOOL WINAPI RecordingSetFileTime(HANDLE file, const FILETIME* created, const FILETIME* accessed,
                                 const FILETIME* modified) {
  g_recording->calls.push_back(
      SetFileTimeCall{PathOfHandle(file), Slot(created), accessed != nullptr, Slot(modified)});
  using Function = BOOL(WINAPI*)(HANDLE, const FILETIME*, const FILETIME*, const FILETIME*);
  return reinterpret_cast<Function>(g_recording->patch->Original())(file, created, accessed,
                                                                    modified);
}

} // namespace

SetFileTimeRecorder::SetFileTimeRecorder() {
  EXPECT_EQ(g_recording, nullptr) << "one recorder at a time";
  g_recording = new Recording;
  g_recording->patch = std::make_unique<ImportPatch>("kernel32.dll", "SetFileTime",
                                                     reinterpret_cast<void*>(RecordingSetFileTime));
}

SetFileTimeRecorder::~SetFileTimeRecorder() {
  delete g_recording;
  g_recording = nullptr;
}

bool SetFileTimeRecorder::Applied() const {
  return g_recording->patch->Applied();
}

const std::vector<SetFileTimeCall>& SetFileTimeRecorder::Calls() const {
  return g_recording->calls;
}

std::optional<SetFileTimeCall> SetFileTimeRecorder::LastFor(const std::wstring& path) const {
  for (auto call = g_recording->calls.rbegin(); call != g_recording->calls.rend(); ++call)
    if (lstrcmpiW(call->path.c_str(), path.c_str()) == 0)
      return *call;
  return std::nullopt;
}

namespace {

struct Override {
  std::unique_ptr<ImportPatch> patch;
  std::unique_ptr<ImportPatch> conversion;
  std::wstring path;
  std::optional<uint64_t> created;
};

Override* g_override;

BOOL WINAPI OverriddenGetFileTime(HANDLE file, FILETIME* created, FILETIME* accessed,
                                  FILETIME* modified) {
  using Function = BOOL(WINAPI*)(HANDLE, FILETIME*, FILETIME*, FILETIME*);
  auto original = reinterpret_cast<Function>(g_override->patch->Original());
  if (lstrcmpiW(PathOfHandle(file).c_str(), g_override->path.c_str()) != 0)
    return original(file, created, accessed, modified);
  if (!g_override->created) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  BOOL read = original(file, created, accessed, modified);
  if (read && created != nullptr)
    *created = FromTicks(*g_override->created);
  return read;
}

BOOL WINAPI WindowsFileTimeToSystemTime(const FILETIME* time, SYSTEMTIME* out) {
  if (Ticks(*time) > 0x7FFFFFFFFFFFFFFFull) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  using Function = BOOL(WINAPI*)(const FILETIME*, SYSTEMTIME*);
  return reinterpret_cast<Function>(g_override->conversion->Original())(time, out);
}

} // namespace

GetFileTimeOverride::GetFileTimeOverride(const std::wstring& path,
                                         std::optional<uint64_t> created) {
  EXPECT_EQ(g_override, nullptr) << "one at a time";
  g_override = new Override{nullptr, nullptr, path, created};
  g_override->patch = std::make_unique<ImportPatch>("kernel32.dll", "GetFileTime",
                                                    reinterpret_cast<void*>(OverriddenGetFileTime));
  g_override->conversion = std::make_unique<ImportPatch>(
      "kernel32.dll", "FileTimeToSystemTime", reinterpret_cast<void*>(WindowsFileTimeToSystemTime));
}

GetFileTimeOverride::~GetFileTimeOverride() {
  delete g_override;
  g_override = nullptr;
}

bool GetFileTimeOverride::Applied() const {
  return g_override->patch->Applied() && g_override->conversion->Applied();
}
