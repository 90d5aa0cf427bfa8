#include "app/widgets/check_box.hpp"

#include "app/widgets/handler_dispatch.hpp"
#include "platform/win32/unique_resource.hpp"

namespace kavrin {

namespace {

// The box of a check box or radio button at 96 dpi.
constexpr int kBoxSize = 13;

}  // namespace

void TCheckButton::FitToCaption() {
  fitsCaption_ = true;
  Fit();
}

void TCheckButton::Rescale(int dpi, HFONT font) {
  TControl::Rescale(dpi, font);
  if (fitsCaption_) Fit();
}

// The system draws the caption half a digit's width right of the box, with
// "&" as a mnemonic marker, and the focus rectangle a pixel around it.
void TCheckButton::Fit() {
  const std::string caption = Caption();
  static const win32::UniqueMemoryDc measuring(CreateCompatibleDC(nullptr));
  HDC dc = measuring.Get();
  if (dc == nullptr) return;
  const win32::Selection select = win32::SelectInto(dc, font_);
  RECT text{0, 0, 0, 0};
  SIZE digit{};
  if (DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_CALCRECT | DT_SINGLELINE) == 0 ||
      GetTextExtentPoint32A(dc, "0", 1, &digit) == FALSE) {
    return;
  }
  RECT place{};
  GetWindowRect(hwnd_, &place);
  const int width = ScaleToDpi(kBoxSize, dpi_) + digit.cx / 2 + (text.right - text.left) + 2;
  SetWindowPos(hwnd_, nullptr, 0, 0, width, place.bottom - place.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCheckBox::Create(const Host& host, const CreateArgs& args) {
  tag_ = args.tag;
  CreateChild(host, "Button", args.caption, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX, 0, args.bounds);
  SendMessageA(hwnd_, BM_SETCHECK, args.checked ? BST_CHECKED : BST_UNCHECKED, 0);
  SetEnabled(args.enabled);
}

bool TCheckBox::Checked() const { return SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TCheckBox::SetChecked(bool checked) {
  if (checked == Checked()) return;
  SendMessageA(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  if (onClick) onClick();
}

bool TCheckBox::OnReflected(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
  // The box has already toggled itself.
  result = 0;
  if (onClick) onClick();
  return true;
}

}  // namespace kavrin
