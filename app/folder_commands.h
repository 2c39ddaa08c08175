#pragma once
// The main window's commands over whole folders.

#include "base/main_state.h"

// 1019 "Cleanup": cleans the Target folder (its whole tree while Shift is down), ends the
// Modified-time snapshot and shows how many files were deleted in 1023.
void CleanupCommand(MainState* state);

// 40002 "Match DateTime..": matches the Target tree to the Reference tree after asking, and shows
// the count in 1023.
void MatchCommand(MainState* state);
