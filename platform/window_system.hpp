#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace kavrin {

// A top-level window of any process; 0 stands for none.
using WindowHandle = std::uintptr_t;

inline constexpr unsigned kWmClose = 0x0010;
inline constexpr unsigned kWmCommand = 0x0111;

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // EnumWindows: calls `visit` for every top-level window, in the system's order.
  virtual void EnumTopLevelWindows(const std::function<void(WindowHandle)>& visit) = 0;

  virtual bool IsVisible(WindowHandle window) = 0;

  // IsWindow: false once the window has been destroyed.
  virtual bool Exists(WindowHandle window) = 0;

  // GetWindowTextA into a buffer of `bufferSize` characters, terminator included;
  // a title that cannot be read is empty.
  virtual std::string Title(WindowHandle window, int bufferSize) = 0;

  virtual bool Post(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) = 0;

  // GetWindowThreadProcessId: the id of the process that made the window; 0
  // when the window is gone.
  virtual std::uint32_t ProcessOf(WindowHandle window) = 0;
};

}  // namespace kavrin
