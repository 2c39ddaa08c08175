#include "tests/support/held_key.h"

#include "tests/support/window_pump.h"

HeldKey::HeldKey(WORD key) : key_(key), down_(Send(0)) {}

HeldKey::~HeldKey() {
  Send(KEYEVENTF_KEYUP);
}

bool HeldKey::Send(DWORD flags) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key_;
  input.ki.dwFlags = flags;
  SendInput(1, &input, sizeof(input));
  bool wantDown = flags == 0;
  return PumpUntil([&] { return ((GetAsyncKeyState(key_) & 0x8000) != 0) == wantDown; }, 2000);
}
