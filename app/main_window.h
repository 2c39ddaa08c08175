#pragma once

#include <windows.h>

#include "base/main_state.h"

inline constexpr wchar_t kMainWindowClass[] = L"DATEWRIGHT_CLASS";

// The common controls the templates use, and the class that MAIN_DIALOG names.
bool RegisterMainWindowClass(HINSTANCE instance);

// Creates the (hidden) main window from MAIN_DIALOG; null if it could not be created.
HWND CreateMainWindow(HINSTANCE instance, const wchar_t* commandLine);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The pane whose placeholder holds the screen point, or null.
PathPane* PaneAtScreenPoint(HWND window, MainState* state, POINT screenPoint);
