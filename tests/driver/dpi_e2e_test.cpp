// The layout at the screen's dpi. Under Wine the dpi is the prefix's
// LogPixels; at 96 these tests skip, since every other test checks the
// 96-dpi places exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "harness.hpp"
#include "kavrin_window.hpp"
#include "platform/win32/win32_dpi.hpp"

namespace kavrin::e2e {
namespace {

int ScreenDpi() {
  const win32::WindowDc screen = win32::GetWindowDc(nullptr);
  return GetDeviceCaps(screen.Get().dc, LOGPIXELSY);
}

int Scaled(int value) { return MulDiv(value, ScreenDpi(), 96); }

std::string Describe(const RECT& r) {
  return std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right - r.left) + ", " +
         std::to_string(r.bottom - r.top);
}

// The extent of a control's caption in the window's font. Wine answers no
// WM_GETFONT from another process, and a font handle means nothing here
// anyway: the font is made here again.
SIZE CaptionExtent(HWND control, int dpi) {
  const win32::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  const win32::UniqueFont font = win32::CreateWindowFont(dpi);
  const win32::Selection select = win32::SelectInto(dc.Get(), font.Get());
  std::string caption = TextOf(control);
  caption.erase(std::remove(caption.begin(), caption.end(), '&'), caption.end());
  SIZE text{};
  GetTextExtentPoint32A(dc.Get(), caption.c_str(), static_cast<int>(caption.size()), &text);
  return text;
}

// Every label shows its whole caption: its extent in the window's font fits.
void ExpectEveryLabelFits(HWND form, int dpi) {
  const std::vector<HWND> labels = FindControls(form, "Static");
  EXPECT_EQ(labels.size(), 15u);
  for (HWND label : labels) {
    const std::string caption = TextOf(label);
    const SIZE text = CaptionExtent(label, dpi);
    const SIZE size = ClientSize(label);
    EXPECT_TRUE(text.cx <= size.cx && text.cy <= size.cy)
        << "\"" << caption << "\" needs " << text.cx << " by " << text.cy << " at " << dpi << " dpi, has " << size.cx;
  }
}

// The upper row of "Besweet Settings": no control covers another, so none
// paints over its neighbour, and each has room for its box and caption.
void ExpectUpperRowApart(const KavrinWindow& window, int dpi) {
  const HWND row[] = {window.cbUseGMax, window.rbDTSCD, window.rbAC3CD, window.rbCDDA, window.cbShutdown};
  for (auto control = std::begin(row); control != std::end(row); ++control) {
    const RECT place = RectInParent(*control);
    EXPECT_GE(place.right - place.left, CaptionExtent(*control, dpi).cx + MulDiv(13, dpi, 96))
        << TextOf(*control) << " at " << dpi << " dpi: " << Describe(place);
    for (auto other = control + 1; other != std::end(row); ++other) {
      const RECT otherPlace = RectInParent(*other);
      RECT overlap{};
      EXPECT_FALSE(IntersectRect(&overlap, &place, &otherPlace))
          << TextOf(*control) << " " << Describe(place) << " and " << TextOf(*other) << " " << Describe(otherPlace)
          << " at " << dpi << " dpi";
    }
  }
}

// OK shows a check mark (dark green), Cancel a cross (dark red), as seen on
// the screen: scaled with the dpi (16 pixels at 96), left of the centred caption.
void ExpectGlyphs(const KavrinWindow& window, int dpi) {
  for (const auto& [button, colour] : {std::pair{window.BitBtn1, RGB(0, 128, 0)}, {window.BitBtn2, RGB(176, 0, 0)}}) {
    const RECT rect = ScreenRect(button);
    RECT glyph{};
    const auto seen = [&, colour = colour] {
      const win32::WindowDc screen = win32::GetWindowDc(nullptr);
      SetRectEmpty(&glyph);
      for (LONG y = rect.top; y < rect.bottom; ++y) {
        for (LONG x = rect.left; x < rect.right; ++x) {
          const COLORREF pixel = GetPixel(screen.Get().dc, x, y);
          const RECT dot{x, y, x + 1, y + 1};
          const int distance = abs(GetRValue(pixel) - GetRValue(colour)) + abs(GetGValue(pixel) - GetGValue(colour)) +
                               abs(GetBValue(pixel) - GetBValue(colour));
          if (distance < 64) UnionRect(&glyph, &glyph, &dot);
        }
      }
      return glyph.bottom - glyph.top >= MulDiv(8, dpi, 96) && glyph.right <= (rect.left + rect.right) / 2;
    };
    EXPECT_TRUE(WaitFor(seen, kReactBound, "the glyph of " + TextOf(button) + " at " + std::to_string(dpi) + " dpi"))
        << "seen at " << Describe(glyph) << " in " << Describe(rect);
  }
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
  ExpectUpperRowApart(window_, ScreenDpi());
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

// A dpi change as Windows announces it when the window moves to another
// monitor: the new dpi and the suggested frame. The frame lies in kavrin.exe's
// memory, since the message carries its address.
class DpiChangeE2e : public KavrinTest {
 protected:
  void SetUp() override {
    if (ScreenDpi() != 96) GTEST_SKIP() << "the window starts at 96 dpi only on a 96-dpi screen";
    ASSERT_NO_FATAL_FAILURE(StartAndFindWindow());
    suggested_ = LendMemory(kavrin_.Handle(), sizeof(RECT));
    ASSERT_NE(suggested_.Get().address, nullptr);
  }
  // Given back while kavrin.exe still runs.
  void TearDown() override { suggested_.Reset(); }

  void ChangeDpi(int dpi, const RECT& frame) { ChangeDpiOf(window_.fKavrin, dpi, frame); }
  void ChangeDpiOf(HWND window, int dpi, const RECT& frame) {
    SIZE_T written = 0;
    ASSERT_TRUE(WriteProcessMemory(kavrin_.Handle(), suggested_.Get().address, &frame, sizeof frame, &written));
    DWORD_PTR result = 0;
    ASSERT_NE(SendMessageTimeoutA(window, 0x02E0, MAKEWPARAM(dpi, dpi),
                                  reinterpret_cast<LPARAM>(suggested_.Get().address), SMTO_BLOCK, 10000, &result),
              0);
  }

  static void ExpectPlace(HWND control, const RECT& expected, const char* name) {
    const RECT place = RectInParent(control);
    EXPECT_TRUE(EqualRect(&place, &expected) != FALSE)
        << name << " at " << Describe(place) << ", expected " << Describe(expected);
  }

  static RECT At(int dpi, int left, int top, int width, int height) {
    const int x = MulDiv(left, dpi, 96);
    const int y = MulDiv(top, dpi, 96);
    return {x, y, x + MulDiv(width, dpi, 96), y + MulDiv(height, dpi, 96)};
  }

  win32::RemoteMemory suggested_;
};

TEST_F(DpiChangeE2e, TheLayoutFollowsADpiChangeAndComesBackExactly) {
  ASSERT_NO_FATAL_FAILURE(ExpectEveryLabelFits(window_.fKavrin, 96));
  ExpectUpperRowApart(window_, 96);
  const RECT before = ScreenRect(window_.fKavrin);
  const SIZE clientBefore = ClientSize(window_.fKavrin);
  const int frameWidth = (before.right - before.left) - clientBefore.cx;
  const int frameHeight = (before.bottom - before.top) - clientBefore.cy;
  // The suggestion keeps the frame and scales the client area, as Windows does for this layout.
  ASSERT_NO_FATAL_FAILURE(
      ChangeDpi(144, {before.left, before.top, before.left + frameWidth + 636, before.top + frameHeight + 314}));
  const SIZE client = ClientSize(window_.fKavrin);
  EXPECT_EQ(client.cx, 636);
  EXPECT_EQ(client.cy, 314);
  ExpectPlace(window_.Button1, At(144, 344, 4, 75, 25), "Go at 144 dpi");
  ExpectPlace(window_.PageControl1, At(144, 8, 32, 409, 173), "PageControl1 at 144 dpi");
  ExpectPlace(window_.eOta, At(144, 48, 48, 337, 21), "eOta at 144 dpi");
  ExpectPlace(window_.feBeSweet, At(144, 136, 4, 257, 21), "feBeSweet at 144 dpi");
  ExpectPlace(window_.Panel1, At(144, 0, 224, 424, 289), "Panel1 at 144 dpi");
  ExpectPlace(window_.BitBtn3, At(144, 345, 8, 73, 25), "Add at 144 dpi");
  ASSERT_NO_FATAL_FAILURE(ExpectEveryLabelFits(window_.fKavrin, 144));

  ASSERT_NO_FATAL_FAILURE(ChangeDpi(96, before));
  const RECT after = ScreenRect(window_.fKavrin);
  EXPECT_TRUE(EqualRect(&after, &before) != FALSE) << Describe(after) << " after, " << Describe(before) << " before";
  ExpectPlace(window_.Button1, At(96, 344, 4, 75, 25), "Go back at 96 dpi");
  ExpectPlace(window_.eOta, At(96, 48, 48, 337, 21), "eOta back at 96 dpi");
  ExpectPlace(window_.BitBtn3, At(96, 345, 8, 73, 25), "Add back at 96 dpi");

  // The drop-down opens at the window's dpi again, at its designed size.
  ASSERT_NO_FATAL_FAILURE(OpenDropDown());
  const SIZE popup = ClientSize(dropDown_);
  EXPECT_EQ(popup.cx, 424);
  EXPECT_EQ(popup.cy, 289);
  ExpectPlace(window_.BitBtn1, At(96, 8, 257, 73, 25), "OK in the drop-down");
  ASSERT_NO_FATAL_FAILURE(CloseDropDownWithOk());

  ASSERT_NO_FATAL_FAILURE(
      ChangeDpi(192, {before.left, before.top, before.left + frameWidth + 848, before.top + frameHeight + 418}));
  ExpectUpperRowApart(window_, 192);
}

// The open drop-down moved to a monitor of another dpi lays its panel out
// for it, and comes back to the 96-dpi places.
TEST_F(DpiChangeE2e, TheOpenDropDownFollowsADpiChangeAndComesBackExactly) {
  ASSERT_NO_FATAL_FAILURE(OpenDropDown());
  ExpectGlyphs(window_, 96);
  const RECT before = ScreenRect(dropDown_);
  const SIZE clientBefore = ClientSize(dropDown_);
  const int frameWidth = (before.right - before.left) - clientBefore.cx;
  const int frameHeight = (before.bottom - before.top) - clientBefore.cy;
  ASSERT_NO_FATAL_FAILURE(ChangeDpiOf(
      dropDown_, 144, {before.left, before.top, before.left + frameWidth + 636, before.top + frameHeight + 434}));
  EXPECT_EQ(ClientSize(window_.Panel1).cx, 636);
  EXPECT_EQ(ClientSize(window_.Panel1).cy, 434);
  ExpectPlace(window_.lbInputFiles, At(144, 8, 8, 329, 181), "lbInputFiles at 144 dpi");
  ExpectPlace(window_.BitBtn3, At(144, 345, 8, 73, 25), "Add at 144 dpi");
  ExpectPlace(window_.cb87, At(144, 280, 36, 47, 17), "cb87 at 144 dpi");
  ExpectPlace(window_.BitBtn1, At(144, 8, 257, 73, 25), "OK at 144 dpi");
  ExpectGlyphs(window_, 144);

  ASSERT_NO_FATAL_FAILURE(ChangeDpiOf(dropDown_, 96, before));
  const RECT after = ScreenRect(dropDown_);
  EXPECT_TRUE(EqualRect(&after, &before) != FALSE) << Describe(after) << " after, " << Describe(before) << " before";
  ExpectPlace(window_.lbInputFiles, At(96, 8, 8, 329, 181), "lbInputFiles back at 96 dpi");
  ExpectPlace(window_.BitBtn3, At(96, 345, 8, 73, 25), "Add back at 96 dpi");
  ExpectPlace(window_.BitBtn1, At(96, 8, 257, 73, 25), "OK back at 96 dpi");

  // Closed at 144 dpi, it opens again at the field's dpi.
  ASSERT_NO_FATAL_FAILURE(ChangeDpiOf(
      dropDown_, 144, {before.left, before.top, before.left + frameWidth + 636, before.top + frameHeight + 434}));
  ASSERT_NO_FATAL_FAILURE(CloseDropDownWithOk());
  ASSERT_NO_FATAL_FAILURE(OpenDropDown());
  EXPECT_EQ(ClientSize(dropDown_).cx, 424);
  EXPECT_EQ(ClientSize(dropDown_).cy, 289);
  ExpectPlace(window_.BitBtn3, At(96, 345, 8, 73, 25), "Add when opened again");
  ExpectPlace(window_.BitBtn1, At(96, 8, 257, 73, 25), "OK when opened again");
  ASSERT_NO_FATAL_FAILURE(CloseDropDownWithOk());
}

}  // namespace
}  // namespace kavrin::e2e
