#include "app/button.hpp"

#include "app/handler_dispatch.hpp"

namespace kavrin {

void TButton::Create(const Host& host, const CreateArgs& args) {
  const DWORD kind = args.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  CreateChild(host, "Button", args.caption, WS_VISIBLE | WS_TABSTOP | WS_GROUP | kind, 0, args.bounds);
  SetEnabled(args.enabled);
}

void TButton::Click() { RunHandler(OwnerOf(hwnd_), onClick); }

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
