#include "app/widgets/label.hpp"

#include "platform/win32/unique_resource.hpp"

namespace kavrin {

void TLabel::Create(const Host& host, const CreateArgs& args) {
  // One line, cut at the right edge rather than wrapped.
  const DWORD alignment = args.alignment == Alignment::Center ? SS_CENTER : SS_LEFTNOWORDWRAP;
  CreateChild(host, "Static", args.caption, WS_VISIBLE | alignment | SS_NOPREFIX, 0, args.bounds);
  autoSize_ = args.autoSize;
  if (autoSize_) FitToCaption();
}

// The rescale lays the 96-dpi bounds out again; the caption in the new font
// decides the size once more.
void TLabel::Rescale(int dpi, HFONT font) {
  TControl::Rescale(dpi, font);
  if (autoSize_) FitToCaption();
}

// Measured as the static control draws it: with tabs expanded, and "&" read
// as a mnemonic marker unless the label shows it as it is.
// A memory context measures as the screen does, without the window's own,
// which costs more to get.
void TLabel::FitToCaption() {
  const std::string caption = Caption();
  static const win32::UniqueMemoryDc measuring(CreateCompatibleDC(nullptr));
  HDC dc = measuring.Get();
  if (dc == nullptr) return;
  const win32::Selection select = win32::SelectInto(dc, font_);
  UINT format = DT_CALCRECT | DT_LEFT | DT_EXPANDTABS;
  if ((GetWindowLongPtrA(hwnd_, GWL_STYLE) & SS_NOPREFIX) != 0) format |= DT_NOPREFIX;
  RECT text{0, 0, 0, 0};
  if (DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text, format) == 0) return;
  SetWindowPos(hwnd_, nullptr, 0, 0, text.right - text.left, text.bottom - text.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace kavrin
