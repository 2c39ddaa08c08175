#pragma once

#include <windows.h>

// Holds a key down through SendInput while the object lives, as the user would, so that code
// sampling GetAsyncKeyState sees it; waits (with a bound) until the system reports each change.
class HeldKey {
public:
  explicit HeldKey(WORD key);
  ~HeldKey();
  HeldKey(const HeldKey&) = delete;
  HeldKey& operator=(const HeldKey&) = delete;

  // Whether the system reported the key down after the press.
  bool Down() const { return down_; }

private:
  // True once the system reports the key in the state sent.
  bool Send(DWORD flags);

  WORD key_;
  bool down_;
};
