#pragma once
// The commands that move a date/time into the Target's pickers or apply them to the Target.

#include "base/main_state.h"

// 1005, 1008, 1009: writes the Target's Created and/or Modified pickers to its path and shows
// "OK" or the system's error code in 1010.
void ApplyTimes(MainState* state, bool created, bool modified);

// 1011 to 1016, 1020 and 1021: fills Target pickers. False for any other command id.
bool CopyTimeCommand(MainState* state, int commandId);
