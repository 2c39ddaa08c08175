#include "app/main_command.h"

#include <commctrl.h>

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
  EnableMenuItem(menu, id, MF_GRAYED);
}

// Grayed until WM_INITMENU finds the paths they need.
void AddSystemMenuItems(HMENU menu) {
  InsertSystemMenuItem(menu, 0, IDM_RENAME_FILES, L"Rename Files...");
  InsertSystemMenuItem(menu, 1, IDM_MATCH_DATETIME, L"Match DateTime..");
  MENUITEMINFOW separator = {};
  separator.cbSize = sizeof(separator);
  separator.fMask = MIIM_FTYPE;
  separator.fType = MFT_SEPARATOR;
  InsertMenuItemW(menu, 2, TRUE, &separator);
}

// The tooltip window is owned by the main window and ends with it.
void AttachCleanupTooltip(HWND window, const MainState* state) {
  HWND tooltip = CreateWindowExW(
      0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, state->instance, nullptr);
  HWND button = GetDlgItem(window, IDC_CLEANUP);
  if (tooltip == nullptr || button == nullptr)
    return;
  TOOLINFOW tool = {};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = button;
  tool.uId = IDC_CLEANUP;
  GetClientRect(button, &tool.rect);
  tool.lpszText = const_cast<wchar_t*>(L"Creanup Folder\n+Shift:Apply Sub Folders");
  SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, 256);
}

void Initialize(HWND window, MainState* state) {
  AddSystemMenuItems(state->systemMenu);
  AttachCleanupTooltip(window, state);
}

} // namespace

LRESULT MainCommand(HWND window, MainState* state, WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
  case kInitializeCommand:
    Initialize(window, state);
    return 0;
  case kTeardownCommand:
    return 0;
  default:
    return DefWindowProcW(window, WM_COMMAND, wParam, lParam);
  }
}
