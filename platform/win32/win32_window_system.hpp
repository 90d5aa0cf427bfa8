#pragma once

#include "platform/window_system.hpp"

namespace kavrin::win32 {

// Top-level windows of every process through user32's A functions.
class Win32WindowSystem final : public WindowSystem {
 public:
  void EnumTopLevelWindows(const std::function<void(WindowHandle)>& visit) override;
  bool IsVisible(WindowHandle window) override;
  bool Exists(WindowHandle window) override;
  std::string Title(WindowHandle window, int bufferSize) override;
  bool Post(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
  std::uint32_t ProcessOf(WindowHandle window) override;
};

}  // namespace kavrin::win32
