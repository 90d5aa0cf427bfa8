#include "platform/win32/win32_window_system.hpp"

#include <windows.h>

#include <exception>
#include <vector>

namespace kavrin::win32 {

namespace {

HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

struct EnumContext {
  const std::function<void(WindowHandle)>* visit;
  std::exception_ptr error;
};

// An exception must not unwind through the system's enumeration: it is kept
// and thrown again once EnumWindows has returned.
BOOL CALLBACK VisitTrampoline(HWND window, LPARAM context) {
  EnumContext& enumContext = *reinterpret_cast<EnumContext*>(context);
  try {
    (*enumContext.visit)(reinterpret_cast<WindowHandle>(window));
    return TRUE;
  } catch (...) {
    enumContext.error = std::current_exception();
    return FALSE;
  }
}

}  // namespace

void Win32WindowSystem::EnumTopLevelWindows(const std::function<void(WindowHandle)>& visit) {
  EnumContext context{&visit, nullptr};
  EnumWindows(VisitTrampoline, reinterpret_cast<LPARAM>(&context));
  if (context.error) std::rethrow_exception(context.error);
}

bool Win32WindowSystem::IsVisible(WindowHandle window) { return IsWindowVisible(ToHwnd(window)) != FALSE; }

bool Win32WindowSystem::Exists(WindowHandle window) { return IsWindow(ToHwnd(window)) != FALSE; }

std::string Win32WindowSystem::Title(WindowHandle window, int bufferSize) {
  if (bufferSize <= 0) return std::string();
  std::vector<char> buffer(static_cast<std::size_t>(bufferSize), '\0');
  const int length = GetWindowTextA(ToHwnd(window), buffer.data(), bufferSize);
  if (length <= 0) return std::string();
  return std::string(buffer.data(), static_cast<std::size_t>(length < bufferSize ? length : bufferSize - 1));
}

bool Win32WindowSystem::Post(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  return PostMessageA(ToHwnd(window), message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam)) != FALSE;
}

std::uint32_t Win32WindowSystem::ProcessOf(WindowHandle window) {
  DWORD process = 0;
  if (GetWindowThreadProcessId(ToHwnd(window), &process) == 0) return 0;
  return process;
}

}  // namespace kavrin::win32
