#pragma once
// The optional settings file "Datewright.ini" beside the executable. It is used only when it
// exists at start; every access below does nothing (or gives the default) when iniPath is empty.

#include <windows.h>

inline constexpr int kTextSettingCapacity = 276; // a quoted value of up to 259 characters

// Fills iniPath (260 characters) with the settings file's full path, or makes it empty when the
// file is not there or its path cannot be formed whole.
void LocateSettingsFile(const wchar_t* modulePath, wchar_t* iniPath);

int ReadSettingInt(const wchar_t* iniPath, const wchar_t* section, const wchar_t* key,
                   int defaultValue);
// Reads a text (the system strips the quotes it was written with); empty by default.
void ReadSettingText(const wchar_t* iniPath, const wchar_t* section, const wchar_t* key,
                     const wchar_t* defaultValue, wchar_t* out, DWORD capacity);
// Writes a text enclosed in double quotes, so that leading and trailing blanks survive.
void WriteSettingText(const wchar_t* iniPath, const wchar_t* section, const wchar_t* key,
                      const wchar_t* text);
void WriteSettingInt(const wchar_t* iniPath, const wchar_t* section, const wchar_t* key, int value);
// Writes a text as it is, without quotes.
void WriteSettingRaw(const wchar_t* iniPath, const wchar_t* section, const wchar_t* key,
                     const wchar_t* text);
