#include "app/widgets/tab_walk.hpp"

#include <algorithm>
#include <vector>

namespace kavrin {

namespace {

bool Pressed(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// Depth first in z-order, which is the order the controls were made in.
void CollectTabStops(HWND parent, std::vector<HWND>& stops) {
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child) || !IsWindowEnabled(child)) continue;
    if ((GetWindowLongPtrA(child, GWL_STYLE) & WS_TABSTOP) != 0) stops.push_back(child);
    if ((GetWindowLongPtrA(child, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) != 0) CollectTabStops(child, stops);
  }
}

}  // namespace

bool HandleTabKey(HWND root, const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_TAB || Pressed(VK_CONTROL) || Pressed(VK_MENU)) {
    return false;
  }
  if (message.hwnd != root && !IsChild(root, message.hwnd)) return false;
  // A control that takes Tab as input keeps it.
  if ((SendMessageA(message.hwnd, WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&message)) &
       (DLGC_WANTTAB | DLGC_WANTMESSAGE)) != 0) {
    return false;
  }

  std::vector<HWND> stops;
  CollectTabStops(root, stops);
  if (stops.empty()) return true;
  // The focus may lie in a part of a control, such as the edit of a combo box.
  HWND focus = GetFocus();
  auto current = stops.end();
  for (HWND window = focus; window != nullptr && window != root && current == stops.end(); window = GetParent(window)) {
    current = std::find(stops.begin(), stops.end(), window);
  }

  const bool backward = Pressed(VK_SHIFT);
  HWND next = nullptr;
  if (current == stops.end()) {
    next = backward ? stops.back() : stops.front();
  } else if (backward) {
    next = current == stops.begin() ? stops.back() : *(current - 1);
  } else {
    next = current + 1 == stops.end() ? stops.front() : *(current + 1);
  }
  // Keyboard use shows the focus rectangles from now on, as in a dialog.
  SendMessageA(root, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  SetFocus(next);
  // As in a dialog, an edit reached by Tab has its text selected.
  if ((SendMessageA(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0) SendMessageA(next, EM_SETSEL, 0, -1);
  return true;
}

}  // namespace kavrin
