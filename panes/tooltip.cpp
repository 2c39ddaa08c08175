#include <windows.h>

#include <commctrl.h>

#include "panes/path_pane.h"

HWND AttachTooltip(HINSTANCE instance, HWND owner, int controlId, const wchar_t* text) {
  HWND control = GetDlgItem(owner, controlId);
  HWND tooltip = CreateWindowExW(
      0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, nullptr);
  if (tooltip == nullptr)
    return nullptr;
  TOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = control;
  tool.uId = static_cast<UINT_PTR>(controlId);
  GetClientRect(control, &tool.rect);
  tool.hinst = instance;
  tool.lpszText = const_cast<wchar_t*>(text); // the tooltip keeps its own copy
  SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  return tooltip;
}
