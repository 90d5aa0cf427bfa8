#include "app/widgets/panel.hpp"

namespace kavrin {

void TPanel::Create(const Host& host, const CreateArgs& args) {
  const DWORD visible = args.visible ? WS_VISIBLE : 0;
  CreateChild(host, ContainerClassName(), "", visible | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, args.bounds);
  Subclass();
}

void TPanel::Anchor(TControl& child, unsigned anchors) { anchored_.push_back({&child, anchors}); }

void TPanel::FollowSize(int width, int height) const {
  const Bounds panel = ScaledBounds(DesignBounds(), dpi_);
  for (const Anchored& entry : anchored_) {
    const Bounds child = ScaledBounds(entry.child->DesignBounds(), dpi_);
    RECT place{child.left, child.top, child.left + child.width, child.top + child.height};
    const int dx = width - panel.width;
    const int dy = height - panel.height;
    if ((entry.anchors & kRight) != 0) {
      place.right += dx;
      if ((entry.anchors & kLeft) == 0) place.left += dx;
    }
    if ((entry.anchors & kBottom) != 0) {
      place.bottom += dy;
      if ((entry.anchors & kTop) == 0) place.top += dy;
    }
    SetWindowPos(entry.child->Handle(), nullptr, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

LRESULT TPanel::HandleSubclassed(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE) FollowSize(LOWORD(lParam), HIWORD(lParam));
  return CallDefault(message, wParam, lParam);
}

}  // namespace kavrin
