#pragma once
// The system menu's switch "Each Date's Daylight Saving": the rule by which the panes show file
// stamps as local times and Apply writes them back.

#include "base/main_state.h"

// Reads the switch from the settings file (absent: off) and hands it down to the file times.
void LoadDaylightSavingSetting(MainState* state);

// 40003: turns the switch over, keeps it in the settings file when that is in use, and shows both
// panes' times again by the new rule.
void ToggleDaylightSaving(MainState* state);
