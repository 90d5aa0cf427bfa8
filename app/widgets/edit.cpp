#include "app/widgets/edit.hpp"

namespace kavrin {

void TCustomEdit::CreateEdit(const Host& host, const std::string& text, const Bounds& bounds, bool readOnly) {
  const DWORD style = WS_VISIBLE | WS_TABSTOP | WS_GROUP | ES_LEFT | ES_AUTOHSCROLL | (readOnly ? ES_READONLY : 0);
  CreateChild(host, "Edit", text, style, WS_EX_CLIENTEDGE, bounds);
}

void TEdit::Create(const Host& host, const CreateArgs& args) {
  grey_ = args.grey;
  CreateEdit(host, args.text, args.bounds, args.readOnly);
}

bool TEdit::OnReflected(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  // A read-only edit asks for the static colours. In high contrast the grey
  // gives way to the button colours, which the user's scheme sets in pairs.
  if (!grey_ || (message != WM_CTLCOLORSTATIC && message != WM_CTLCOLOREDIT)) return false;
  const bool highContrast = HighContrast();
  const int face = highContrast ? COLOR_BTNFACE : COLOR_SCROLLBAR;
  auto dc = reinterpret_cast<HDC>(wParam);
  SetTextColor(dc, GetSysColor(highContrast ? COLOR_BTNTEXT : COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(face));
  result = reinterpret_cast<LRESULT>(GetSysColorBrush(face));
  return true;
}

}  // namespace kavrin
