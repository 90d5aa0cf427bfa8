#pragma once

#include <windows.h>

namespace kavrin::support {

// Polls a condition every 20 ms for up to `ms` milliseconds.
template <typename Condition>
bool WaitFor(Condition condition, DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  while (!condition()) {
    if (GetTickCount64() > end) return false;
    Sleep(20);
  }
  return true;
}

}  // namespace kavrin::support
