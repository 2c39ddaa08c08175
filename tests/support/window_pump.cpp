#include "tests/support/window_pump.h"

void PumpPending() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    PumpPending();
    if (condition())
      return true;
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs)
      return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE,
                              timeoutMs - elapsed < 50 ? timeoutMs - elapsed : 50, QS_ALLINPUT);
  }
}
