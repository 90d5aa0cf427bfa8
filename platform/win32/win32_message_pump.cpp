#include "platform/win32/win32_message_pump.hpp"

#include <windows.h>

namespace kavrin::win32 {

void Win32MessagePump::ProcessMessages() {
  bool quitSeen = false;
  WPARAM quitCode = 0;
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
    if (message.message == WM_QUIT) {
      quitSeen = true;
      quitCode = message.wParam;
      continue;
    }
    if (preTranslate_ && preTranslate_(message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  // Taken from the queue here, the quit would never reach the main loop.
  if (quitSeen) PostQuitMessage(static_cast<int>(quitCode));
}

}  // namespace kavrin::win32
