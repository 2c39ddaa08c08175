#pragma once

#include <windows.h>

#include "base/main_state.h"

// WM_INITDIALOG (the set-up), WM_COPYDATA, and teardown on WM_DESTROY and WM_ENDSESSION.
LRESULT MainLifecycle(HWND window, MainState* state, UINT message, WPARAM wParam, LPARAM lParam);
