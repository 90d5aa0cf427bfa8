#pragma once

#include <windows.h>

#include "app/resource_ids.h"
#include "app/widgets/handler_dispatch.hpp"

namespace kavrin {

// A top-level window backed by a C++ object: `this` travels in the creation
// parameters, is stored at WM_NCCREATE and every later message goes to
// T::HandleMessage. T supplies ClassName() and HandleMessage().
template <class T>
class BaseWindow {
 public:
  BaseWindow() = default;
  BaseWindow(const BaseWindow&) = delete;
  BaseWindow& operator=(const BaseWindow&) = delete;

  HWND Handle() const { return hwnd_; }

 protected:
  ~BaseWindow() = default;

  // Registers the class on first use; false when the window cannot be made.
  bool CreateTopLevel(const char* caption, DWORD style, DWORD exStyle, int x, int y, int width, int height,
                      HWND owner = nullptr) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (!GetClassInfoExA(instance, T::ClassName(), &existing)) {
      WNDCLASSEXA windowClass{};
      windowClass.cbSize = sizeof windowClass;
      windowClass.lpfnWndProc = &BaseWindow::WindowProc;
      windowClass.hInstance = instance;
      windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
      windowClass.hIcon = ProgramIcon(instance, SM_CXICON, SM_CYICON);
      windowClass.hIconSm = ProgramIcon(instance, SM_CXSMICON, SM_CYSMICON);
      windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
      windowClass.lpszClassName = T::ClassName();
      if (RegisterClassExA(&windowClass) == 0) return false;
    }
    return CreateWindowExA(exStyle, T::ClassName(), caption, style, x, y, width, height, owner, nullptr, instance,
                           this) != nullptr;
  }

  HWND hwnd_ = nullptr;

 private:
  // The program's icon at the size the system asks for; shared, so the
  // class never has to free it.
  static HICON ProgramIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
    HANDLE icon = LoadImageA(instance, MAKEINTRESOURCEA(IDI_KAVRIN), IMAGE_ICON, GetSystemMetrics(widthMetric),
                             GetSystemMetrics(heightMetric), LR_SHARED);
    return icon != nullptr ? static_cast<HICON>(icon) : LoadIcon(nullptr, IDI_APPLICATION);
  }

  // An entry procedure (app/widgets/handler_dispatch.hpp).
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    T* self = nullptr;
    if (message == WM_NCCREATE) {
      const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      self = static_cast<T*>(static_cast<BaseWindow*>(create->lpCreateParams));
      self->hwnd_ = window;
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
      self = reinterpret_cast<T*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      self->hwnd_ = nullptr;
      return DefWindowProcA(window, message, wParam, lParam);
    }
    LRESULT result = 0;
    RunHandler(window, [&] { result = self->HandleMessage(message, wParam, lParam); });
    return result;
  }
};

}  // namespace kavrin
