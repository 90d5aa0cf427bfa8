#include "app/radio_button.hpp"

#include <vector>

#include "app/handler_dispatch.hpp"

namespace kavrin {

void TRadioButton::Create(const Host& host, const CreateArgs& args) {
  // Not an auto radio button: the group is kept here, also for program sets.
  const DWORD group = args.firstOfGroup ? WS_GROUP : 0;
  CreateChild(host, "Button", args.caption, WS_VISIBLE | group | BS_RADIOBUTTON, 0, args.bounds);
  SetState(args.checked);
}

bool TRadioButton::Checked() const { return SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TRadioButton::SetChecked(bool checked) {
  if (checked) {
    for (HWND sibling = GetWindow(GetParent(hwnd_), GW_CHILD); sibling != nullptr;
         sibling = GetWindow(sibling, GW_HWNDNEXT)) {
      auto* radio = dynamic_cast<TRadioButton*>(TControl::FromHandle(sibling));
      if (radio != nullptr && radio != this) radio->SetState(false);
    }
  }
  const bool changed = checked != Checked();
  SetState(checked);
  if (changed && onClick) onClick();
}

void TRadioButton::SetState(bool checked) {
  SendMessageA(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  // Tab reaches a group at its checked button, or at its first while none is
  // checked, so the group can always be reached; Tab never selects a mode.
  std::vector<TRadioButton*> group;
  bool anyChecked = false;
  for (HWND sibling = GetWindow(GetParent(hwnd_), GW_CHILD); sibling != nullptr;
       sibling = GetWindow(sibling, GW_HWNDNEXT)) {
    if (auto* radio = dynamic_cast<TRadioButton*>(TControl::FromHandle(sibling))) {
      group.push_back(radio);
      anyChecked = anyChecked || radio->Checked();
    }
  }
  for (TRadioButton* radio : group) {
    const bool stop = radio->Checked() || (!anyChecked && radio == group.front());
    LONG_PTR style = GetWindowLongPtrA(radio->hwnd_, GWL_STYLE);
    style = stop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
    SetWindowLongPtrA(radio->hwnd_, GWL_STYLE, style);
  }
}

bool TRadioButton::OnReflected(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
  RunHandler(OwnerOf(hwnd_), [this] { SetChecked(true); });
  result = 0;
  return true;
}

}  // namespace kavrin
