#include "app/main_lifecycle.h"

#include <ole2.h>

#include "app/main_command.h"
#include "app/main_setup.h"

namespace {

// Undoes creation and set-up in reverse; afterwards the window holds no state.
void Teardown(HWND window, MainState* state) {
  CoUninitialize();
  MainCommand(window, state, kTeardownCommand, 0);
  if (state->modifiedSnapshot != nullptr)
    GlobalFree(state->modifiedSnapshot);
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  HeapFree(state->processHeap, 0, state);
  OleUninitialize();
}

} // namespace

LRESULT MainLifecycle(HWND window, MainState* state, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_INITDIALOG:
    return SetUpMainWindow(window, state, reinterpret_cast<const StartupRecord*>(lParam));
  case WM_COPYDATA:
    if (lParam != 0)
      return TRUE;
    return DefWindowProcW(window, WM_COPYDATA, wParam, 0);
  case WM_ENDSESSION:
    // The system ends the process itself after this; no quit message.
    if (wParam)
      Teardown(window, state);
    return 0;
  case WM_DESTROY:
    Teardown(window, state);
    PostQuitMessage(0);
    return 0;
  default:
    return DefWindowProcW(window, message, wParam, lParam);
  }
}
