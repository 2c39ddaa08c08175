#pragma once

#include <windows.h>

#include "app/main_state.h"

// The set-up on WM_INITDIALOG; startup may be null. Returns 0.
LRESULT SetUpMainWindow(HWND window, MainState* state, const StartupRecord* startup);
