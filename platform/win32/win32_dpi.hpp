#pragma once

#include <windows.h>

#include "platform/win32/unique_resource.hpp"

namespace kavrin::win32 {

// The pixels per inch a window is drawn at: its monitor's for a per-monitor
// aware program on Windows 10 and later, otherwise the screen's.
int WindowDpi(HWND window);

// The frame rectangle around `client` at `dpi`, as AdjustWindowRectEx gives
// it at the system's dpi.
RECT FrameForClient(const RECT& client, DWORD style, DWORD exStyle, int dpi);

// The windows' font, characters 11 pixels high at 96 dpi, at `dpi`.
UniqueFont CreateWindowFont(int dpi);

}  // namespace kavrin::win32
