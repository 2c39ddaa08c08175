#pragma once

#include <windows.h>

#include "base/main_state.h"

// Internal commands: sent once by the set-up, and once when the window goes away.
inline constexpr WORD kInitializeCommand = 0;
inline constexpr WORD kTeardownCommand = 0xFFFF;

// Every command of the main window, keyed by the low word of wParam. Unknown ids go to
// DefWindowProcW.
LRESULT MainCommand(HWND window, MainState* state, WPARAM wParam, LPARAM lParam);
