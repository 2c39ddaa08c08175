#pragma once

#include <windows.h>

#include "base/main_state.h"

// Frees the Modified-time snapshot, disables "Restore" and empties the two count fields: the
// snapshot no longer describes what the Target pane shows.
void DiscardSnapshot(MainState* state);

// Puts path into the pane after the shortcut question; for the Target the main window follows
// (title, folder buttons, snapshot, tooltip). 0 when refused: then nothing changed. A path of
// more than 259 characters is refused too, so that nothing later acts on a cut-off path.
int SetPanePath(HWND pane, const wchar_t* path);

// Shows the times of the pane's path in its pickers; with exif (the Target's), also keeps the
// image dates and enables the Exif commands by them. Non-zero when the times were read.
int ShowPaneTimes(HWND pane, ExifDates* exif);
