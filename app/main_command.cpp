#include "app/main_command.h"

#include <commctrl.h>

#include "app/daylight_saving.h"
#include "app/folder_commands.h"
#include "app/rename_command.h"
#include "base/settings.h"
#include "rename/rename_settings.h"
#include "app/snapshot.h"
#include "app/time_commands.h"
#include "panes/drop_target.h"
#include "panes/path_pane.h"
#include "resources/resource_ids.h"

namespace {

void InsertSystemMenuItem(HMENU menu, UINT position, UINT id, const wchar_t* text) {
  MENUITEMINFOW item = {};
  item.cbSize = sizeof(item);
  item.fMask = MIIM_ID | MIIM_TYPE;
  item.fType = MFT_STRING;
  item.wID = id;
  item.dwTypeData = const_cast<wchar_t*>(text);
  InsertMenuItemW(menu, position, TRUE, &item);
}

// The folder commands are grayed until WM_INITMENU finds the paths they need; it checks the
// switch too.
void AddSystemMenuItems(HMENU menu) {
  InsertSystemMenuItem(menu, 0, IDM_RENAME_FILES, L"Rename Files...");
  InsertSystemMenuItem(menu, 1, IDM_MATCH_DATETIME, L"Match DateTime..");
  InsertSystemMenuItem(menu, 2, IDM_EACH_DATES_DAYLIGHT_SAVING, L"Each Date's Daylight Saving");
  EnableMenuItem(menu, IDM_RENAME_FILES, MF_GRAYED);
  EnableMenuItem(menu, IDM_MATCH_DATETIME, MF_GRAYED);
  MENUITEMINFOW separator = {};
  separator.cbSize = sizeof(separator);
  separator.fMask = MIIM_FTYPE;
  separator.fType = MFT_SEPARATOR;
  InsertMenuItemW(menu, 3, TRUE, &separator);
}

// The tooltip window is owned by the main window and ends with it.
void AttachCleanupTooltip(HWND window, const MainState* state) {
  HWND tooltip = AttachTooltip(state->instance, window, IDC_CLEANUP,
                               L"Creanup Folder\n+Shift:Apply Sub Folders");
  SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, 256);
}

void Initialize(HWND window, MainState* state) {
  AddSystemMenuItems(state->systemMenu);
  LoadRenameSettings(state->iniPath, &g_renameSettings);
  RegisterMainDropTarget(state->mainWindow);
  AttachCleanupTooltip(window, state);
}

} // namespace

LRESULT MainCommand(HWND window, MainState* state, WPARAM wParam, LPARAM lParam) {
  int id = LOWORD(wParam);
  switch (id) {
  case kInitializeCommand:
    Initialize(window, state);
    return 0;
  case IDC_APPLY_CREATED:
    ApplyTimes(state, true, false);
    return 0;
  case IDC_APPLY_MODIFIED:
    ApplyTimes(state, false, true);
    return 0;
  case IDC_APPLY_BOTH:
    ApplyTimes(state, true, true);
    return 0;
  case IDC_GET_ALL_MODIFIED:
    TakeSnapshot(state);
    return 0;
  case IDC_RESTORE:
    RestoreSnapshot(state);
    return 0;
  case IDC_CLEANUP:
    CleanupCommand(state);
    return 0;
  case IDM_RENAME_FILES:
    RenameCommand(state);
    return 0;
  case IDM_MATCH_DATETIME:
    MatchCommand(state);
    return 0;
  case IDM_EACH_DATES_DAYLIGHT_SAVING:
    ToggleDaylightSaving(state);
    return 0;
  case kTeardownCommand:
    RevokeDragDrop(state->mainWindow);
    return 0;
  default:
    if (CopyTimeCommand(state, id))
      return 0;
    return DefWindowProcW(window, WM_COMMAND, wParam, lParam);
  }
}
