#include "app/label.hpp"

#include "app/scoped_win.hpp"

namespace kavrin {

void TLabel::Create(const Host& host, const CreateArgs& args) {
  // One line, cut at the right edge rather than wrapped.
  const DWORD alignment = args.alignment == Alignment::Center ? SS_CENTER : SS_LEFTNOWORDWRAP;
  CreateChild(host, "Static", args.caption, WS_VISIBLE | alignment | SS_NOPREFIX, 0, args.bounds);
  autoSize_ = args.autoSize;
  if (autoSize_) FitToCaption();
}

void TLabel::Rescale(int dpi, HFONT font) {
  TControl::Rescale(dpi, font);
  if (autoSize_) FitToCaption();
}

void TLabel::FitToCaption() {
  const std::string caption = Caption();
  ScopedWindowDc dc(hwnd_);
  ScopedSelect select(dc.Get(), font_);
  SIZE size{};
  if (GetTextExtentPoint32A(dc.Get(), caption.c_str(), static_cast<int>(caption.size()), &size)) {
    SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

}  // namespace kavrin
