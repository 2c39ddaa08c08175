#pragma once

#include <windows.h>

// The Rename dialog's remembered inputs; one per process, filled at start.
struct RenameSettings {
  int method;
  wchar_t filter[64];
  int caseSensitive;
  wchar_t find[260];
  wchar_t replace[260];
  int length;
};

extern RenameSettings g_renameSettings;

void LoadRenameSettings(const wchar_t* iniPath, RenameSettings* settings);
