#include <gtest/gtest.h>

#include "platform/win32/unique_resource.hpp"
#include "platform/win32/win32_dpi.hpp"

namespace kavrin::win32 {
namespace {

int ScreenLogPixels() {
  const WindowDc screen = GetWindowDc(nullptr);
  return GetDeviceCaps(screen.Get().dc, LOGPIXELSY);
}

// This test program declares no dpi awareness, so its windows report the
// screen's dpi, or 96 where the system scales them.
TEST(WindowDpi, AWindowReportsAUsableDpi) {
  HWND window = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  const int dpi = WindowDpi(window);
  EXPECT_TRUE(dpi == 96 || dpi == ScreenLogPixels()) << dpi;
  DestroyWindow(window);
  EXPECT_EQ(WindowDpi(nullptr), ScreenLogPixels());
}

TEST(FrameForClient, MatchesTheSystemsFrameAtItsDpi) {
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  const RECT client{0, 0, 424, 209};
  RECT expected = client;
  AdjustWindowRectEx(&expected, style, FALSE, 0);
  const RECT frame = FrameForClient(client, style, 0, ScreenLogPixels());
  EXPECT_EQ(frame.right - frame.left, expected.right - expected.left);
  EXPECT_EQ(frame.bottom - frame.top, expected.bottom - expected.top);
  // The frame always holds the whole client area.
  const RECT wide = FrameForClient({0, 0, 636, 314}, style, 0, 144);
  EXPECT_GE(wide.right - wide.left, 636);
  EXPECT_GE(wide.bottom - wide.top, 314);
}

}  // namespace
}  // namespace kavrin::win32
