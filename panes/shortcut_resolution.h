#pragma once

#include <windows.h>

// Decides whether a shortcut (a ".lnk" path) stands for its target or for itself, asking the
// user with a Yes/No/Cancel box titled with the target's name. Returns path when it is no
// shortcut or the user chose the shortcut, resolved (at least MAX_PATH characters, filled with
// the target) when the user chose the target or prompt is null, and null when path is null, the
// shortcut cannot be resolved, the user cancels, or path cannot be split. Needs COM on this
// thread. Exported from the program by this undecorated name.
extern "C" const wchar_t* WINAPI GetResolvedPathDialog(HWND owner, const wchar_t* path,
                                                       wchar_t* resolved, const wchar_t* prompt);
