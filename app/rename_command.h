#pragma once

#include "base/main_state.h"

// 40001 "Rename..." (button and system-menu item): runs the modal Rename dialog over the main
// window; before Windows Vista its template is given the face "MS UI Gothic".
void RenameCommand(MainState* state);
