#pragma once
// Answers the system's dialogs and key states from a script, by pointing this exe's imports at
// replacements while the object lives, and records what the program asked. One at a time.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct ScriptedSystem {
  ScriptedSystem();
  ~ScriptedSystem();
  ScriptedSystem(const ScriptedSystem&) = delete;
  ScriptedSystem& operator=(const ScriptedSystem&) = delete;

  // MessageBoxW: answers in order (0 as from a box that could not be shown); IDCANCEL past them.
  std::vector<int> boxAnswers;
  struct Box {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
  };
  std::vector<Box> boxes;

  // GetOpenFileNameW: the file chosen, empty for Cancel; what the dialog was given.
  std::wstring fileChoice;
  std::wstring fileProposed;
  std::wstring fileFolder;
  int fileDialogs = 0;

  // SHBrowseForFolderW: the folder chosen, empty for Cancel; its title and preselection.
  std::wstring folderChoice;
  std::wstring folderTitle;
  std::wstring folderPreselected;
  int folderDialogs = 0;

  // GetAsyncKeyState: the keys reported down.
  std::vector<int> keysDown;

  // DialogBoxParamW: the dialog is made modeless and handed to this, then destroyed.
  std::function<void(HWND)> dialog;
  int dialogs = 0;

private:
  struct Patches;
  Patches* patches_;
};

// Presses a button of a dialog as its owner would see it: WM_COMMAND with BN_CLICKED.
void Press(HWND dialog, int id);
