#include "app/widgets/check_box.hpp"

#include "app/widgets/handler_dispatch.hpp"

namespace kavrin {

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
