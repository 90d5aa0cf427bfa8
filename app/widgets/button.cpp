#include "app/widgets/button.hpp"

#include <utility>

#include "app/widgets/handler_dispatch.hpp"
#include "platform/win32/unique_resource.hpp"

namespace kavrin {

namespace {

// The glyphs' shapes on a 16 by 16 grid: polylines, drawn with a pen of
// `penWidth` grid units.
struct Stroke {
  int count;
  POINT points[3];
};
struct Glyph {
  COLORREF colour;
  int penWidth;
  int strokeCount;
  Stroke strokes[2];
};

const Glyph kCheckMark{RGB(0, 128, 0), 3, 1, {{3, {{3, 8}, {6, 11}, {13, 4}}}}};
const Glyph kCross{RGB(176, 0, 0), 2, 2, {{2, {{4, 4}, {12, 12}}}, {2, {{12, 4}, {4, 12}}}}};

// Strokes `glyph` in `colour`, `size` pixels square, over a `background`
// that fills `width`.
void DrawGlyph(HDC dc, const Glyph& glyph, int size, int width, COLORREF colour, COLORREF background) {
  const RECT all{0, 0, width, size};
  const win32::UniqueGdiObject<HBRUSH> fill(CreateSolidBrush(background));
  FillRect(dc, &all, fill.Get());
  const LOGBRUSH ink{BS_SOLID, colour, 0};
  const int penWidth = (glyph.penWidth * size + 8) / 16;
  const win32::UniqueGdiObject<HPEN> pen(ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER,
                                                      penWidth > 0 ? penWidth : 1, &ink, 0, nullptr));
  const win32::Selection selectPen = win32::SelectInto(dc, pen.Get());
  for (int s = 0; s < glyph.strokeCount; ++s) {
    const Stroke& stroke = glyph.strokes[s];
    POINT points[3]{};
    for (int p = 0; p < stroke.count; ++p) {
      points[p] = {(stroke.points[p].x * size + 8) / 16, (stroke.points[p].y * size + 8) / 16};
    }
    Polyline(dc, points, stroke.count);
  }
}

// An icon of the glyph, `size` pixels high, with a transparent `gap` at its
// right that keeps the caption off the glyph: the strokes in the glyph's
// colour, the rest transparent through the mask. No alpha channel, so that
// every button and every drawing of icons shows it the same.
win32::UniqueIcon CreateGlyphIcon(const Glyph& glyph, COLORREF ink, int size, int gap) {
  const int width = size + gap;
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = width;
  format.bmiHeader.biHeight = size;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 24;
  format.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const win32::UniqueGdiObject<HBITMAP> colour(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
  const win32::UniqueGdiObject<HBITMAP> mask(CreateBitmap(width, size, 1, 1, nullptr));
  const win32::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  if (!colour || !mask || !dc) return {};
  {
    // Where the mask is white the screen shows through; the colour is black there.
    const win32::Selection selectColour = win32::SelectInto(dc.Get(), colour.Get());
    DrawGlyph(dc.Get(), glyph, size, width, ink, RGB(0, 0, 0));
  }
  {
    const win32::Selection selectMask = win32::SelectInto(dc.Get(), mask.Get());
    DrawGlyph(dc.Get(), glyph, size, width, RGB(0, 0, 0), RGB(255, 255, 255));
  }
  ICONINFO info{TRUE, 0, 0, mask.Get(), colour.Get()};
  // The icon holds copies of both bitmaps.
  return win32::UniqueIcon(CreateIconIndirect(&info));
}

TButton* PushButtonOf(HWND window) {
  auto* button = dynamic_cast<TButton*>(TControl::FromHandle(window));
  return button != nullptr && IsWindowVisible(window) && IsWindowEnabled(window) ? button : nullptr;
}

}  // namespace

// As in a dialog, the push button with the focus looks like the default
// button; while the focus is elsewhere the window's default button has the
// look, if it has one.
void ShowDefaultLook(HWND root, HWND focus) {
  TButton* marked = PushButtonOf(focus);
  if (marked == nullptr) marked = DefaultButtonOf(root);
  for (HWND window : DescendantsOf(root)) {
    if (dynamic_cast<TButton*>(TControl::FromHandle(window)) == nullptr) continue;
    const LONG_PTR kind = GetWindowLongPtrA(window, GWL_STYLE) & BS_TYPEMASK;
    const LONG_PTR wanted = marked != nullptr && marked->Handle() == window ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if (kind != wanted) SendMessageA(window, BM_SETSTYLE, static_cast<WPARAM>(wanted), TRUE);
  }
}

void TButton::Create(const Host& host, const CreateArgs& args) {
  isDefault_ = args.isDefault;
  const DWORD kind = args.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  CreateChild(host, "Button", args.caption, WS_VISIBLE | WS_TABSTOP | WS_GROUP | kind, 0, args.bounds);
  SetEnabled(args.enabled);
  Subclass();
}

void TButton::Click() {
  if (onClick) onClick();
}

void TButton::Press() {
  if (IsWindowEnabled(hwnd_)) SendMessageA(hwnd_, BM_CLICK, 0, 0);
}

LRESULT TButton::HandleSubclassed(UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CallDefault(message, wParam, lParam);
  HWND root = GetAncestor(hwnd_, GA_ROOT);
  if (message == WM_SETFOCUS) ShowDefaultLook(root, hwnd_);
  // Only a move inside the window gives the look back; a dialog in front
  // leaves it where it was.
  if (message == WM_KILLFOCUS) {
    auto next = reinterpret_cast<HWND>(wParam);
    if (next != nullptr && IsChild(root, next) && PushButtonOf(next) == nullptr) ShowDefaultLook(root, next);
  }
  return result;
}

TButton* DefaultButtonOf(HWND root) {
  for (HWND window : DescendantsOf(root)) {
    TButton* button = PushButtonOf(window);
    if (button != nullptr && button->IsDefault()) return button;
  }
  return nullptr;
}

bool HandleEnterKey(HWND root, const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_RETURN) return false;
  if (message.hwnd != root && !IsChild(root, message.hwnd)) return false;
  if ((SendMessageA(message.hwnd, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&message)) &
       (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) != 0) {
    return false;
  }
  TButton* button = PushButtonOf(GetFocus());
  if (button == nullptr || !IsChild(root, button->Handle())) button = DefaultButtonOf(root);
  if (button != nullptr) button->Press();
  return true;
}

bool TButton::OnReflected(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
  Click();
  result = 0;
  return true;
}

void TBitBtn::Create(const Host& host, const CreateArgs& args) {
  kind_ = args.kind;
  TButton::CreateArgs button;
  button.bounds = args.bounds;
  switch (args.kind) {
    case Kind::Ok:
      button.caption = "OK";
      button.isDefault = true;
      break;
    case Kind::Cancel:
      button.caption = "Cancel";
      break;
    case Kind::Custom:
      button.caption = args.caption;
      break;
  }
  TButton::Create(host, button);
}

// The glyph is drawn when the button is first painted, not at start-up, and
// again whenever its dpi or the colours change after that.
void TBitBtn::Rescale(int dpi, HFONT font) {
  TButton::Rescale(dpi, font);
  if (glyph_) ShowGlyph();
}

void TBitBtn::ColoursChanged() {
  if (glyph_) ShowGlyph();
  TButton::ColoursChanged();
}

LRESULT TBitBtn::HandleSubclassed(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT && !glyph_) ShowGlyph();
  return TButton::HandleSubclassed(message, wParam, lParam);
}

// The glyph stands left of the caption. A push button of the common controls
// 6, which the manifest brings, draws an image and its caption side by side,
// themed or classic; the button keeps its own look, focus rectangle and keys.
void TBitBtn::ShowGlyph() {
  if (kind_ == Kind::Custom) return;
  const Glyph& glyph = kind_ == Kind::Ok ? kCheckMark : kCross;
  // In high contrast the glyph takes the button's text colour.
  const COLORREF ink = HighContrast() ? GetSysColor(COLOR_BTNTEXT) : glyph.colour;
  win32::UniqueIcon icon = CreateGlyphIcon(glyph, ink, ScaleToDpi(16, dpi_), ScaleToDpi(4, dpi_));
  if (!icon) return;
  SendMessageA(hwnd_, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon.Get()));
  // The old one goes only once the button no longer shows it.
  glyph_ = std::move(icon);
}

void TBitBtn::Click() {
  TButton::Click();
  const ModalResult result = Result();
  if (result != ModalResult::None && IsWindow(hwnd_)) {
    SendMessageA(GetAncestor(hwnd_, GA_ROOT), kModalResultMessage, static_cast<WPARAM>(result), 0);
  }
}

ModalResult TBitBtn::Result() const {
  switch (kind_) {
    case Kind::Ok:
      return ModalResult::Ok;
    case Kind::Cancel:
      return ModalResult::Cancel;
    case Kind::Custom:
      break;
  }
  return ModalResult::None;
}

}  // namespace kavrin
