#pragma once

#include <windows.h>

#include <functional>

// Pumps this thread's messages until the condition holds or the time is up; returns the
// condition's last value. Tests wait with this, never with a bare Sleep.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);

// Pumps whatever is queued now.
void PumpPending();
