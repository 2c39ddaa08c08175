#pragma once

#include <windows.h>

// A pane shows two date/times, each on a date picker and a time picker.
enum class PaneTime { Created, Modified };

// The date from the date picker with the time of day from the time picker.
SYSTEMTIME ReadPaneTime(HWND pane, PaneTime which);

// Sets both pickers of the pair to the same value; each shows its own half.
void WritePaneTime(HWND pane, PaneTime which, const SYSTEMTIME& time);
