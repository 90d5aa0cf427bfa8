#include "app/popup_edit.hpp"

namespace kavrin {

void TdxPopupEdit::Create(const Host& host, const CreateArgs& args) {
  popupControl_ = args.popupControl;
  CreateField(host, args.bounds, args.text, true, TEditButton::Glyph::DropDown);
}

// The drop-down window comes with the input list; until then nothing opens.
void TdxPopupEdit::DropDown() {}

bool TdxPopupEdit::IsButtonKey(WPARAM key, bool alt) const {
  return key == VK_F4 || (alt && (key == VK_DOWN || key == VK_UP));
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
  const LRESULT result = TButtonEdit::HandleSubclassed(message, wParam, lParam);
  // The edit makes a caret whenever it gains the focus; this field has none.
  if (message == WM_SETFOCUS) DestroyCaret();
  return result;
}

}  // namespace kavrin
