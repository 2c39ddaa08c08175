#pragma once
// Answers the system's dialogs and key states from a script while it lives, and records them.

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/iat_patch.h"

struct ScriptedSystem {
  ScriptedSystem(); // the one script while its patches stand, undone before it goes

  // MessageBoxW: answers in order (0 as from a box that could not be shown); IDCANCEL past them.
  std::vector<int> boxAnswers;
  std::vector<std::wstring> boxes; // "text|caption|type"
  // Pickers: the choice (empty: Cancel) and what was proposed, "name|folder" or "title|selection".
  std::wstring fileChoice, fileProposed;
  std::wstring folderChoice, folderProposed;
  std::vector<int> keysDown;
  // DialogBoxParamW: the dialog is made modeless and handed to this, then destroyed.
  std::function<void(HWND)> dialog;

private:
  std::deque<ImportPatch> patches_; // a deque, as a patch cannot move
};

// Presses a button of a dialog as its owner would see it: WM_COMMAND with BN_CLICKED.
inline void Press(HWND dialog, int id) {
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
