#pragma once
// The Modified-time snapshot of the Target folder's files, kept in MainState.

#include "base/main_state.h"

// "Get All Modified DateTime": a fresh snapshot of the files directly in the Target folder.
void TakeSnapshot(MainState* state);

// "Restore": puts every saved Modified time back and shows how many were set.
void RestoreSnapshot(MainState* state);
