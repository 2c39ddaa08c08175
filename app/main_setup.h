#pragma once

#include <windows.h>

#include "base/main_state.h"

// The set-up on WM_INITDIALOG; startup may be null. Returns 0.
LRESULT SetUpMainWindow(HWND window, MainState* state, const StartupRecord* startup);

// A pane from its template in the "Segoe UI" face, laid over the placeholder; hidden. Null when
// it could not be made.
HWND CreatePane(HINSTANCE instance, HWND parent, int placeholderId, MainState* state);
