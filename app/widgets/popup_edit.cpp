#include "app/widgets/popup_edit.hpp"

#include <exception>

#include "app/widgets/handler_dispatch.hpp"
#include "app/widgets/panel.hpp"
#include "core/scoped_flag.hpp"
#include "core/widget_rules.hpp"
#include "platform/win32/win32_dpi.hpp"
#include "platform/win32/win32_dropped_files.hpp"

namespace kavrin {

namespace {

// Lends a control to the drop-down and gives it back, with its parent,
// bounds and visibility, however the drop-down ends.
class LentControl {
 public:
  LentControl(HWND control, HWND borrower) : control_(control), parent_(GetParent(control)) {
    GetWindowRect(control, &bounds_);
    MapWindowPoints(HWND_DESKTOP, parent_, reinterpret_cast<POINT*>(&bounds_), 2);
    visible_ = (GetWindowLongPtrA(control, GWL_STYLE) & WS_VISIBLE) != 0;
    SetParent(control, borrower);
  }
  LentControl(const LentControl&) = delete;
  LentControl& operator=(const LentControl&) = delete;
  ~LentControl() {
    if (!IsWindow(control_)) return;
    ShowWindow(control_, visible_ ? SW_SHOWNA : SW_HIDE);
    if (IsWindow(parent_)) SetParent(control_, parent_);
    SetWindowPos(control_, nullptr, bounds_.left, bounds_.top, bounds_.right - bounds_.left,
                 bounds_.bottom - bounds_.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  int Width() const { return bounds_.right - bounds_.left; }
  int Height() const { return bounds_.bottom - bounds_.top; }

 private:
  HWND control_;
  HWND parent_;
  RECT bounds_{};
  bool visible_ = false;
};

PixelRect ToPixels(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

}  // namespace

void TdxPopupEdit::Create(const Host& host, const CreateArgs& args) {
  popupControl_ = args.popupControl;
  popupFocus_ = args.popupFocus;
  CreateField(host, args.bounds, args.text, true, TEditButton::Glyph::DropDown);
  SetWindowLongPtrA(hwnd_, GWL_EXSTYLE, GetWindowLongPtrA(hwnd_, GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
}

void TdxPopupEdit::DropDown() {
  if (dropped_ || popupControl_ == nullptr) return;
  SetFocus();
  if (GetFocus() != hwnd_) return;
  if (popup_.Handle() == nullptr && !popup_.Create(OwnerOf(hwnd_))) return;
  if (onInitPopup) onInitPopup();

  const ScopedFlag dropped(dropped_);
  bool accept = false;
  // An error that ends the drop-down's loop still closes it: the close-up
  // runs, not accepting, and the error goes on afterwards.
  std::exception_ptr failure;
  {
    LentControl panel(popupControl_->Handle(), popup_.Handle());
    popup_.SetContent(popupControl_->Handle(), popupFocus_ != nullptr ? popupFocus_->Handle() : nullptr);
    // The content's designed size, every time, whatever the user made of it last time.
    SetWindowPos(popupControl_->Handle(), nullptr, 0, 0, panel.Width(), panel.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(popupControl_->Handle(), SW_SHOWNA);
    try {
      accept = popup_.Run(hwnd_, DropDownPlace(panel.Width(), panel.Height()));
    } catch (...) {
      failure = std::current_exception();
    }
    if (IsWindow(hwnd_)) {
      std::string text = Text();
      if (onCloseUp) onCloseUp(text, accept);
      if (accept) SetText(text);
    }
  }
  // Back from a drop-down that changed its dpi: the panel takes the field's again.
  if (IsWindow(hwnd_) && popupControl_->Dpi() != dpi_) {
    popupControl_->Rescale(dpi_, font_);
    RescaleChildren(popupControl_->Handle(), dpi_, font_);
  }
  if (failure) std::rethrow_exception(failure);
}

RECT TdxPopupEdit::DropDownPlace(int clientWidth, int clientHeight) const {
  const RECT frame =
      win32::FrameForClient({0, 0, clientWidth, clientHeight}, TdxPopupWindow::kStyle, TdxPopupWindow::kExStyle, dpi_);
  RECT field{};
  GetWindowRect(hwnd_, &field);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoA(MonitorFromRect(&field, MONITOR_DEFAULTTONEAREST), &monitor);
  const PixelRect place =
      PlaceDropDown(ToPixels(field), frame.right - frame.left, frame.bottom - frame.top, ToPixels(monitor.rcWork));
  return RECT{place.left, place.top, place.right, place.bottom};
}

// Alt+F4 is the system's: it closes the window.
bool TdxPopupEdit::IsButtonKey(WPARAM key, bool alt) const {
  return (key == VK_F4 && !alt) || (alt && (key == VK_DOWN || key == VK_UP));
}

bool TdxPopupEdit::OnReflected(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  // Read-only, yet it should look like a field one can use.
  if (message != WM_CTLCOLORSTATIC) return false;
  auto dc = reinterpret_cast<HDC>(wParam);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
  return true;
}

LRESULT TdxPopupEdit::HandleSubclassed(UINT message, WPARAM wParam, LPARAM lParam) {
  // A click on the text opens the drop-down as the button does.
  if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
    DropDown();
    return 0;
  }
  if (message == WM_DROPFILES) {
    // The drop is finished as soon as its names are read.
    const std::vector<std::string> files = win32::TakeDroppedFiles(reinterpret_cast<HDROP>(wParam));
    if (onDropFiles) onDropFiles(files);
    return 0;
  }
  // A summary has nothing to select. A selection, as Tab gives an edit or
  // Shift and the arrows make, would show whenever the field has the focus,
  // and it has it while a batch runs.
  if (message == EM_SETSEL) return CallDefault(EM_SETSEL, 0, 0);
  const LRESULT result = TButtonEdit::HandleSubclassed(message, wParam, lParam);
  if (message == WM_KEYDOWN || message == WM_CHAR || message == WM_CONTEXTMENU) CallDefault(EM_SETSEL, 0, 0);
  // The edit makes a caret whenever it gains the focus; this field has none.
  if (message == WM_SETFOCUS) DestroyCaret();
  return result;
}

}  // namespace kavrin
