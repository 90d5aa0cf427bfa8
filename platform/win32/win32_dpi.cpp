#include "platform/win32/win32_dpi.hpp"

#include "core/dpi_scale.hpp"
#include "platform/win32/unique_resource.hpp"

namespace kavrin::win32 {

namespace {

// Both calls came with Windows 10; looked up at run time so that the program
// still starts on Windows 7.
using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
using AdjustForDpiCall = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

FARPROC User32Entry(const char* name) {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  return user32 != nullptr ? GetProcAddress(user32, name) : nullptr;
}

template <class Call>
Call Entry(const char* name) {
  return reinterpret_cast<Call>(reinterpret_cast<void (*)()>(User32Entry(name)));
}

int ScreenDpi() {
  const WindowDc screen = GetWindowDc(nullptr);
  if (!screen) return kDesignDpi;
  const int dpi = GetDeviceCaps(screen.Get().dc, LOGPIXELSY);
  return dpi > 0 ? dpi : kDesignDpi;
}

}  // namespace

int WindowDpi(HWND window) {
  static const auto forWindow = Entry<GetDpiForWindowCall>("GetDpiForWindow");
  if (forWindow != nullptr && window != nullptr) {
    const UINT dpi = forWindow(window);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  return ScreenDpi();
}

RECT FrameForClient(const RECT& client, DWORD style, DWORD exStyle, int dpi) {
  static const auto forDpi = Entry<AdjustForDpiCall>("AdjustWindowRectExForDpi");
  RECT frame = client;
  if (forDpi != nullptr && forDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi))) return frame;
  frame = client;
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  return frame;
}

// "MS Sans Serif" is a bitmap font, and its 11-pixel letters are the ones
// the layout is drawn for. At another height the system puts another of its
// bitmaps in their place, whose hyphens fill their cells, so that "--" reads
// as a dash. There its scalable twin, as wide letter for letter, draws them.
UniqueFont CreateWindowFont(int dpi) {
  const int height = ScaleToDpi(-11, dpi);
  return UniqueFont(CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                height == -11 ? "MS Sans Serif" : "Microsoft Sans Serif"));
}

}  // namespace kavrin::win32
