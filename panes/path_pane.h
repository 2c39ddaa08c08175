#pragma once

#include <windows.h>

#include "base/main_state.h"

// The panes' dialog procedure; the creation parameter is the MainState.
INT_PTR CALLBACK PaneDialogProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam);

// Reads the pane's path box into path, a buffer of at least 260 characters.
void ReadPanePath(HWND pane, wchar_t* path);

// The open-file dialog; on a choice the pane takes the file and remembered (260, may be null)
// holds it. Non-zero when a file was chosen.
int ChooseFile(HINSTANCE instance, wchar_t* remembered, HWND pane);

// The browse-for-folder dialog, likewise; 1 when a folder was chosen.
int ChooseFolder(wchar_t* remembered, HWND pane);

// The nearest existing folder above path, with its trailing separator, into out (260). 0 when
// the walk reaches a drive root or a path without a folder part first.
int FindExistingFolder(wchar_t* out, const wchar_t* path);

// A tooltip window owned by owner with one tool, the control controlId, showing text.
HWND AttachTooltip(HINSTANCE instance, HWND owner, int controlId, const wchar_t* text);
