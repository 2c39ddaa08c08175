#pragma once
// The records every layer of the program shares: the main window's state and what it holds.

#include <windows.h>

#include <cstdint>

// The image dates of the Target's file, as the image records them. wYear 0 means absent.
struct ExifDates {
  SYSTEMTIME dateTime;
  SYSTEMTIME dateTimeOriginal;
  SYSTEMTIME dateTimeDigitized;
};

// One pane's record. The pane's path lives in its path box, its times in its four pickers.
struct PathPane {
  HWND paneWindow;  // the child dialog; null if it could not be created
  HWND pathTooltip; // shows the full path; owned by the pane window
};

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
  wchar_t iniPath[260];         // empty when there is no settings file
  bool eachDatesDaylightSaving; // the system menu's switch, handed down to the file times
};

// Handed from the entry to the window for the set-up; freed once the window exists.
struct StartupRecord {
  wchar_t modulePath[260];
  const wchar_t* commandLine; // as GetCommandLineW gives it, program name included
};

// The state attached to the main window, or null before WM_CREATE and after teardown.
inline MainState* GetMainState(HWND window) {
  return reinterpret_cast<MainState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}
