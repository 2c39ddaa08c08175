#include "panes/path_pane.h"

#include <commctrl.h>

#include "base/main_state.h"
#include "base/settings.h"
#include "panes/pane_display.h"
#include "resources/resource_ids.h"

namespace {

// Both panes get the same MainState at creation.
MainState* g_paneState;

bool KeyHeld(int key) {
  return (GetAsyncKeyState(key) & 0x8000) != 0;
}

// "Open...": Control reloads the pane's times, Shift chooses a folder, otherwise a file.
void OpenCommand(HWND pane, MainState* state) {
  bool isTarget = pane == state->target.paneWindow;
  if (KeyHeld(VK_CONTROL)) {
    DiscardSnapshot(state);
  } else {
    bool folder = KeyHeld(VK_SHIFT);
    const wchar_t* section = folder ? L"DirPath" : L"FilePath";
    const wchar_t* key = isTarget ? L"Target" : L"Reference";
    wchar_t remembered[260] = {};
    ReadSettingText(state->iniPath, section, key, L"", remembered, ARRAYSIZE(remembered));
    int chosen =
        folder ? ChooseFolder(remembered, pane) : ChooseFile(state->instance, remembered, pane);
    if (!chosen)
      return;
    WriteSettingText(state->iniPath, section, key, remembered);
  }
  ShowPaneTimes(pane, isTarget ? &state->exifDates : nullptr);
}

} // namespace

void ReadPanePath(HWND pane, wchar_t* path) {
  path[0] = L'\0';
  GetDlgItemTextW(pane, IDC_PANE_PATH, path, 260);
}

INT_PTR CALLBACK PaneDialogProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_INITDIALOG:
    g_paneState = reinterpret_cast<MainState*>(lParam);
    if (g_paneState != nullptr) {
      HWND tooltip = AttachTooltip(g_paneState->instance, pane, IDC_PANE_OPEN,
                                   L"Choose File\n+Shift:Choose Folder\n+Control:Reload Path");
      SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, 128);
    }
    return TRUE;
  case WM_COMMAND:
    if (LOWORD(wParam) == IDC_PANE_OPEN && g_paneState != nullptr)
      OpenCommand(pane, g_paneState);
    return TRUE;
  case WM_DESTROY:
    return TRUE;
  default:
    return FALSE;
  }
}
