// The layout at the screen's dpi. Under Wine the dpi is the prefix's
// LogPixels; at 96 these tests skip, since every other test checks the
// 96-dpi places exactly.
#include <gtest/gtest.h>

#include <string>

#include "harness.hpp"
#include "kavrin_window.hpp"

namespace kavrin::e2e {
namespace {

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

int Scaled(int value) { return MulDiv(value, ScreenDpi(), 96); }

std::string Describe(const RECT& r) {
  return std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right - r.left) + ", " +
         std::to_string(r.bottom - r.top);
}

class DpiE2e : public KavrinTest {
 protected:
  void SetUp() override {
    if (ScreenDpi() == 96) GTEST_SKIP() << "the screen is at 96 dpi";
    ASSERT_NO_FATAL_FAILURE(StartAndFindWindow());
  }

  void ExpectPlace(HWND control, int left, int top, int width, int height, const char* name) {
    const RECT place = RectInParent(control);
    const RECT expected{Scaled(left), Scaled(top), Scaled(left) + Scaled(width), Scaled(top) + Scaled(height)};
    EXPECT_TRUE(EqualRect(&place, &expected) != FALSE)
        << name << " at " << Describe(place) << ", expected " << Describe(expected) << " at " << ScreenDpi() << " dpi";
  }
};

TEST_F(DpiE2e, TheMainWindowAndItsControlsScaleWithTheScreen) {
  const SIZE client = ClientSize(window_.fKavrin);
  EXPECT_EQ(client.cx, Scaled(424));
  EXPECT_EQ(client.cy, Scaled(209));
  ExpectPlace(window_.Button1, 344, 4, 75, 25, "Go");
  ExpectPlace(window_.dxPopupEdit1, 64, 4, 273, 21, "dxPopupEdit1");
  ExpectPlace(window_.PageControl1, 8, 32, 409, 173, "PageControl1");
  ExpectPlace(window_.eOta, 48, 48, 337, 21, "eOta");
  ExpectPlace(window_.cbShutdown, 272, 8, 121, 17, "cbShutdown");
  ExpectPlace(window_.feBeSweet, 136, 4, 257, 21, "feBeSweet");
}

TEST_F(DpiE2e, TheDropDownShowsTheScaledPanel) {
  ASSERT_NO_FATAL_FAILURE(OpenDropDown());
  const SIZE client = ClientSize(dropDown_);
  EXPECT_EQ(client.cx, Scaled(424));
  EXPECT_EQ(client.cy, Scaled(289));
  ExpectPlace(window_.lbInputFiles, 8, 8, 329, 181, "lbInputFiles");
  ExpectPlace(window_.BitBtn1, 8, 257, 73, 25, "OK");
  ExpectPlace(window_.BitBtn3, 345, 8, 73, 25, "Add");
  ExpectPlace(window_.cb87, 280, 36, 47, 17, "cb87");
  ASSERT_NO_FATAL_FAILURE(CloseDropDownWithOk());
}

}  // namespace
}  // namespace kavrin::e2e
