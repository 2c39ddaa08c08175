#pragma once

#include <windows.h>

#include <cstdint>

#include "panes/exif_dates.h"
#include "panes/path_pane.h"

// The main window's state, attached as its user data from WM_CREATE to teardown.
struct MainState {
  HINSTANCE instance;
  HANDLE processHeap;
  HWND mainWindow;
  HMENU systemMenu;
  wchar_t modulePath[260];
  wchar_t baseTitle[64]; // the template's caption, before the set-up changes it
  PathPane target;
  PathPane reference;
  HGLOBAL modifiedSnapshot; // movable block of FolderEntry records, or null
  uint32_t snapshotCount;
  ExifDates exifDates;
  wchar_t iniPath[260]; // empty when there is no settings file
};

// Handed from the entry to the window for the set-up; freed once the window exists.
struct StartupRecord {
  wchar_t modulePath[260];
  const wchar_t* commandLine; // as GetCommandLineW gives it, program name included
};
