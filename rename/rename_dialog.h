#pragma once
// The modal "Rename" dialog (template 102). The command that opens it passes the MainState as the
// creation parameter; the dialog renames the files of the folder the Target pane shows and keeps
// that folder's Modified time.

#include <windows.h>

INT_PTR CALLBACK RenameDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the inputs the method reads and hides the others.
void ShowMethodControls(HWND dialog, int method);
