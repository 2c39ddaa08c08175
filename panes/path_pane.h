#pragma once

#include <windows.h>

// One pane's record. The pane's path lives in its path box, its times in its four pickers.
struct PathPane {
  HWND paneWindow;  // the child dialog; null if it could not be created
  HWND pathTooltip; // shows the full path; owned by the pane window
};
