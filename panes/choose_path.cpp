#include <windows.h>

#include <commdlg.h>
#include <ole2.h>
#include <shlobj.h>

#include "base/bounded_text.h"
#include "panes/pane_display.h"
#include "panes/path_pane.h"

namespace {

bool IsExistingFolder(const wchar_t* path) {
  DWORD attributes = GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The pane's own path, or the remembered one when the pane has none.
void StartingPath(HWND pane, const wchar_t* remembered, wchar_t* path) {
  ReadPanePath(pane, path);
  if (path[0] == L'\0' && remembered != nullptr && remembered[0] != L'\0')
    FormatBounded(path, 260, L"%s", remembered);
}

int CALLBACK PreselectFolder(HWND dialog, UINT message, LPARAM, LPARAM selection) {
  if (message == BFFM_INITIALIZED)
    SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, selection);
  return 0;
}

} // namespace

int ChooseFile(HINSTANCE instance, wchar_t* remembered, HWND pane) {
  wchar_t name[268] = {};
  wchar_t folder[268] = {};
  StartingPath(pane, remembered, name);
  const wchar_t* initialFolder = nullptr;
  if (name[0] != L'\0') {
    DWORD attributes = GetFileAttributesW(name);
    bool existingFile =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    if (!FindExistingFolder(folder, name))
      folder[0] = L'\0';
    if (existingFile) {
      if (folder[0] != L'\0')
        initialFolder = folder;
    } else {
      initialFolder = folder;
      name[0] = L'\0';
    }
  }

  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = pane;
  dialog.hInstance = instance;
  dialog.lpstrFilter = L"All Files (*.*)\0*.*\0";
  dialog.lpstrFile = name;
  dialog.nMaxFile = 260;
  dialog.lpstrInitialDir = initialFolder;
  // The dialog would otherwise move the process into the chosen folder, and a relative path
  // would then name another file.
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR;
  BOOL chosen = GetOpenFileNameW(&dialog);
  if (chosen) {
    SetPanePath(pane, name);
    if (remembered != nullptr)
      FormatBounded(remembered, 260, L"%s", name);
  }
  return chosen;
}

int ChooseFolder(wchar_t* remembered, HWND pane) {
  wchar_t selection[268] = {};
  wchar_t scratch[268] = {};
  wchar_t title[520] = {};
  StartingPath(pane, remembered, selection);
  if (selection[0] != L'\0') {
    if (!IsExistingFolder(selection)) {
      if (FindExistingFolder(scratch, selection))
        FormatBounded(selection, 260, L"%s", scratch);
      else
        selection[0] = L'\0';
    }
    FormatBounded(title, ARRAYSIZE(title), L"Current Folder is %s", selection);
  }

  wchar_t savedDirectory[260] = {};
  GetCurrentDirectoryW(ARRAYSIZE(savedDirectory), savedDirectory);
  BROWSEINFOW browse = {};
  browse.hwndOwner = pane;
  browse.pszDisplayName = selection;
  browse.lpszTitle = title;
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  browse.lpfn = PreselectFolder;
  browse.lParam = reinterpret_cast<LPARAM>(selection);
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
  SetCurrentDirectoryW(savedDirectory);
  if (chosen == nullptr)
    return 0;
  // The display name the dialog left in selection is no path: without one, nothing was chosen.
  BOOL havePath = SHGetPathFromIDListW(chosen, selection);
  CoTaskMemFree(chosen);
  if (!havePath)
    return 0;
  SetPanePath(pane, selection);
  if (remembered != nullptr)
    FormatBounded(remembered, 260, L"%s", selection);
  return 1;
}
