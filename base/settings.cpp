#include "base/settings.h"

#include <cstdlib>

#include "base/bounded_text.h"

namespace {

bool InUse(const wchar_t* iniPath) {
  return iniPath != nullptr && iniPath[0] != L'\0';
}

} // namespace

void LocateSettingsFile(const wchar_t* modulePath, wchar_t* iniPath) {
  iniPath[0] = L'\0';
  wchar_t drive[3];
  wchar_t folder[256];
  // A path the splitter or the buffer would have to cut could name another file: no settings.
  if (_wsplitpath_s(modulePath, drive, ARRAYSIZE(drive), folder, ARRAYSIZE(folder), nullptr, 0,
                    nullptr, 0) != 0)
    return;
  if (AppendBounded(iniPath, drive) != 0 || AppendBounded(iniPath, folder) != 0 ||
      AppendBounded(iniPath, L"Datewright.ini") != 0 ||
      GetFileAttributesW(iniPath) == INVALID_FILE_ATTRIBUTES)
    iniPath[0] = L'\0';
}

int ReadSettingInt(const wchar_t* iniPath, const wchar_t* section, const wchar_t* key,
                   int defaultValue) {
  if (!InUse(iniPath))
    return defaultValue;
  return static_cast<int>(GetPrivateProfileIntW(section, key, defaultValue, iniPath));
}

void ReadSettingText(const wchar_t* iniPath, const wchar_t* section, const wchar_t* key,
                     const wchar_t* defaultValue, wchar_t* out, DWORD capacity) {
  if (!InUse(iniPath)) {
    FormatBounded(out, capacity, L"%s", defaultValue);
    return;
  }
  GetPrivateProfileStringW(section, key, defaultValue, out, capacity, iniPath);
}

void WriteSettingText(const wchar_t* iniPath, const wchar_t* section, const wchar_t* key,
                      const wchar_t* text) {
  wchar_t quoted[kTextSettingCapacity];
  FormatBounded(quoted, ARRAYSIZE(quoted), L"\"%s\"", text);
  WriteSettingRaw(iniPath, section, key, quoted);
}

void WriteSettingInt(const wchar_t* iniPath, const wchar_t* section, const wchar_t* key,
                     int value) {
  wchar_t number[68];
  FormatBounded(number, ARRAYSIZE(number), L"%d", value);
  WriteSettingRaw(iniPath, section, key, number);
}

void WriteSettingRaw(const wchar_t* iniPath, const wchar_t* section, const wchar_t* key,
                     const wchar_t* text) {
  if (InUse(iniPath))
    WritePrivateProfileStringW(section, key, text, iniPath);
}
