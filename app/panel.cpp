#include "app/panel.hpp"

namespace kavrin {

void TPanel::Create(const Host& host, const CreateArgs& args) {
  const DWORD visible = args.visible ? WS_VISIBLE : 0;
  CreateChild(host, ContainerClassName(), "", visible | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, args.bounds);
  Subclass();
}

void TPanel::Anchor(TControl& child, unsigned anchors) {
  RECT client{};
  GetClientRect(hwnd_, &client);
  RECT place{};
  GetWindowRect(child.Handle(), &place);
  MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&place), 2);
  anchored_.push_back({child.Handle(), anchors, place, {client.right, client.bottom}});
}

void TPanel::FollowSize(int width, int height) const {
  for (const Anchored& entry : anchored_) {
    RECT place = entry.designed;
    const int dx = width - entry.panel.cx;
    const int dy = height - entry.panel.cy;
    if ((entry.anchors & kRight) != 0) {
      place.right += dx;
      if ((entry.anchors & kLeft) == 0) place.left += dx;
    }
    if ((entry.anchors & kBottom) != 0) {
      place.bottom += dy;
      if ((entry.anchors & kTop) == 0) place.top += dy;
    }
    SetWindowPos(entry.child, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

LRESULT TPanel::HandleSubclassed(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE) FollowSize(LOWORD(lParam), HIWORD(lParam));
  return CallDefault(message, wParam, lParam);
}

}  // namespace kavrin
