#include "app/widgets/edit_button.hpp"

#include <uxtheme.h>
#include <vsstyle.h>

#include <algorithm>

#include "app/widgets/handler_dispatch.hpp"
#include "platform/win32/unique_resource.hpp"

namespace kavrin {

namespace {

Bounds ButtonPlace(HWND edit) {
  RECT client{};
  GetClientRect(edit, &client);
  const int height = client.bottom - client.top;
  const int width = std::min<int>(height, client.right - client.left);
  return {client.right - width, 0, width, height};
}

}  // namespace

// Placed in pixels of the field, which is scaled already.
void TEditButton::Create(HWND edit, HFONT font, Glyph glyph) {
  glyph_ = glyph;
  CreateChild({edit, font}, "Button", glyph == Glyph::Ellipsis ? "..." : "", WS_VISIBLE | BS_OWNERDRAW, 0,
              ButtonPlace(edit));
  Subclass();
}

// Tracks the mouse for the hover look, and lets a new theme be opened.
LRESULT TEditButton::HandleSubclassed(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEMOVE:
      if (!hot_) {
        hot_ = true;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
        TrackMouseEvent(&track);
        InvalidateRect(hwnd_, nullptr, FALSE);
      }
      break;
    case WM_MOUSELEAVE:
      hot_ = false;
      InvalidateRect(hwnd_, nullptr, FALSE);
      break;
    case WM_THEMECHANGED:
      if (theme_ != nullptr) CloseThemeData(theme_);
      theme_ = nullptr;
      themeOpened_ = false;
      InvalidateRect(hwnd_, nullptr, TRUE);
      break;
    case WM_NCDESTROY:
      if (theme_ != nullptr) CloseThemeData(theme_);
      theme_ = nullptr;
      break;
    default:
      break;
  }
  return CallDefault(message, wParam, lParam);
}

void TEditButton::FitToField() {
  const Bounds place = ButtonPlace(GetParent(hwnd_));
  SetWindowPos(hwnd_, nullptr, place.left, place.top, place.width, place.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TEditButton::OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message == WM_DRAWITEM) {
    Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    result = TRUE;
    return true;
  }
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    result = 0;
    if (onClick) onClick();
    return true;
  }
  return false;
}

bool TEditButton::DrawThemed(const DRAWITEMSTRUCT& item) {
  if (!themeOpened_) {
    themeOpened_ = true;
    theme_ = IsAppThemed() ? OpenThemeData(hwnd_, glyph_ == Glyph::DropDown ? L"COMBOBOX" : L"BUTTON") : nullptr;
  }
  if (theme_ == nullptr) return false;
  const bool pushed = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  const int part = glyph_ == Glyph::DropDown ? static_cast<int>(CP_DROPDOWNBUTTON) : static_cast<int>(BP_PUSHBUTTON);
  // The two parts number their states alike: normal, hot, pressed, disabled.
  const int state = disabled ? PBS_DISABLED : pushed ? PBS_PRESSED : hot_ ? PBS_HOT : PBS_NORMAL;
  RECT area = item.rcItem;
  if (IsThemeBackgroundPartiallyTransparent(theme_, part, state)) DrawThemeParentBackground(hwnd_, item.hDC, &area);
  DrawThemeBackground(theme_, item.hDC, part, state, &area, nullptr);
  if (glyph_ == Glyph::Ellipsis) {
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    const win32::Selection select = win32::SelectInto(item.hDC, font_);
    DrawTextA(item.hDC, "...", 3, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  return true;
}

void TEditButton::Draw(const DRAWITEMSTRUCT& item) {
  if (DrawThemed(item)) return;
  RECT area = item.rcItem;
  const bool pushed = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  if (glyph_ == Glyph::DropDown) {
    UINT state = DFCS_SCROLLCOMBOBOX | (pushed ? DFCS_PUSHED : 0) | (disabled ? DFCS_INACTIVE : 0);
    DrawFrameControl(item.hDC, &area, DFC_SCROLL, state);
    return;
  }
  DrawFrameControl(item.hDC, &area, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
  if (pushed) OffsetRect(&area, 1, 1);
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
  const win32::Selection select = win32::SelectInto(item.hDC, font_);
  DrawTextA(item.hDC, "...", 3, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void TButtonEdit::CreateField(const Host& host, const Bounds& bounds, const std::string& text, bool readOnly,
                              TEditButton::Glyph glyph) {
  const DWORD style =
      WS_VISIBLE | WS_TABSTOP | WS_GROUP | WS_CLIPCHILDREN | ES_LEFT | ES_AUTOHSCROLL | (readOnly ? ES_READONLY : 0);
  CreateChild(host, "Edit", text, style, WS_EX_CLIENTEDGE, bounds);
  Subclass();
  button_.Create(hwnd_, font_, glyph);
  KeepTextClearOfButton();
  button_.onClick = [this] { ButtonClick(); };
}

void TButtonEdit::KeepTextClearOfButton() {
  RECT buttonArea{};
  GetClientRect(button_.Handle(), &buttonArea);
  SendMessageA(hwnd_, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, buttonArea.right + 2));
}

// A new font resets the margins, so they follow the button again.
void TButtonEdit::Rescale(int dpi, HFONT font) {
  TCustomEdit::Rescale(dpi, font);
  button_.FitToField();
  KeepTextClearOfButton();
}

bool TButtonEdit::IsButtonKey(WPARAM key, bool alt) const { return alt && key == VK_DOWN; }

void TButtonEdit::FocusIfPossible() {
  if (IsWindow(hwnd_) && IsWindowVisible(hwnd_) && IsWindowEnabled(hwnd_)) SetFocus();
}

LRESULT TButtonEdit::HandleSubclassed(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (ReflectToControl(message, wParam, lParam, result)) return result;
  if (message == WM_ENABLE) EnableWindow(button_.Handle(), static_cast<BOOL>(wParam));
  if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
    // Alt as the key's own record has it, which holds also for keys that
    // another program sends.
    const bool alt = (HIWORD(lParam) & KF_ALTDOWN) != 0 || (GetKeyState(VK_MENU) & 0x8000) != 0;
    if (IsButtonKey(wParam, alt)) {
      ButtonClick();
      return 0;
    }
  }
  result = CallDefault(message, wParam, lParam);
  // The edit's frame is painted over the whole window, the button included,
  // as the theme paints it at every change of the focus (so Wine does): the
  // button draws itself again at once, not at the next paint, which during
  // a batch may be a second away.
  if (message == WM_NCPAINT) RedrawWindow(button_.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  return result;
}

}  // namespace kavrin
