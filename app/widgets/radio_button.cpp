#include "app/widgets/radio_button.hpp"

#include <algorithm>
#include <utility>

#include "app/widgets/handler_dispatch.hpp"

namespace kavrin {

void TRadioButton::Create(const Host& host, const CreateArgs& args) {
  // Not an auto radio button: the group is kept here, also for program sets,
  // and an auto button would check itself whenever it gets the focus.
  const DWORD group = args.firstOfGroup ? WS_GROUP : 0;
  CreateChild(host, "Button", args.caption, WS_VISIBLE | group | BS_RADIOBUTTON, 0, args.bounds);
  // Windows reports a click when an unchecked radio button merely gets the
  // focus; this turns that off where the system knows the message.
  SendMessageA(hwnd_, BM_SETDONTCLICK, TRUE, 0);
  Subclass();
  SetState(args.checked, Group());
}

bool TRadioButton::Checked() const { return SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// Every change comes here, so a group never holds two checked buttons and its
// tab stop is always right: setting the state a button has changes nothing.
void TRadioButton::SetChecked(bool checked) {
  if (checked == Checked()) return;
  const std::vector<TRadioButton*> group = Group();
  if (checked) {
    for (TRadioButton* radio : group) {
      if (radio != this) SendMessageA(radio->hwnd_, BM_SETCHECK, BST_UNCHECKED, 0);
    }
  }
  SetState(checked, group);
  if (onClick) onClick();
}

// In z-order. One enumeration asks the system once; walking the siblings
// one by one would ask it for each.
std::vector<TRadioButton*> TRadioButton::Group() const {
  std::vector<TRadioButton*> group;
  HWND parent = GetParent(hwnd_);
  for (HWND window : DescendantsOf(parent)) {
    auto* radio = dynamic_cast<TRadioButton*>(TControl::FromHandle(window));
    if (radio != nullptr && GetParent(window) == parent) group.push_back(radio);
  }
  return group;
}

void TRadioButton::SetState(bool checked, const std::vector<TRadioButton*>& group) {
  SendMessageA(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  // Tab reaches a group at its checked button, or at its first while none is
  // checked, so the group can always be reached; Tab never selects a mode.
  const bool anyChecked =
      std::any_of(group.begin(), group.end(), [](const TRadioButton* radio) { return radio->Checked(); });
  for (TRadioButton* radio : group) {
    const bool stop = radio->Checked() || (!anyChecked && radio == group.front());
    const LONG_PTR style = GetWindowLongPtrA(radio->hwnd_, GWL_STYLE);
    const LONG_PTR wanted = stop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
    if (wanted != style) SetWindowLongPtrA(radio->hwnd_, GWL_STYLE, wanted);
  }
}

// As in a dialog, an arrow key moves the focus and the choice to the next
// button of the group, round from the last to the first.
void TRadioButton::ChooseNeighbour(bool previous) {
  std::vector<TRadioButton*> group = Group();
  std::erase_if(group, [this](const TRadioButton* radio) {
    return radio != this && (!IsWindowVisible(radio->hwnd_) || !IsWindowEnabled(radio->hwnd_));
  });
  const auto self = std::find(group.begin(), group.end(), this);
  if (self == group.end()) return;
  const auto index = static_cast<std::size_t>(self - group.begin());
  TRadioButton* next = group[(index + (previous ? group.size() - 1 : 1)) % group.size()];
  next->SetFocus();
  next->SetChecked(true);
}

LRESULT TRadioButton::HandleSubclassed(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETDLGCODE:
      // The arrows come here rather than to the dialog manager, which would
      // only move the focus.
      return CallDefault(message, wParam, lParam) | DLGC_WANTARROWS;
    case WM_KEYDOWN:
      if (wParam == VK_LEFT || wParam == VK_UP || wParam == VK_RIGHT || wParam == VK_DOWN) {
        ChooseNeighbour(wParam == VK_LEFT || wParam == VK_UP);
        return 0;
      }
      break;
    case WM_LBUTTONUP:
    case WM_KEYUP:
    case BM_CLICK: {
      if (message == WM_KEYUP && wParam != VK_SPACE) break;
      const bool outer = std::exchange(clicking_, true);
      const LRESULT result = CallDefault(message, wParam, lParam);
      clicking_ = outer;
      return result;
    }
    default:
      break;
  }
  return CallDefault(message, wParam, lParam);
}

bool TRadioButton::OnReflected(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
  // A BN_CLICKED outside a click is the one a button sends on getting the
  // focus (Windows, and Wine from 9): it chooses nothing.
  result = 0;
  if (clicking_) SetChecked(true);
  return true;
}

}  // namespace kavrin
