#pragma once

#include <vector>

#include "app/control.hpp"

namespace kavrin {

// A plain container. Children it anchors keep their distance to the anchored
// edges when it is resized; the others stay where they were laid out.
class TPanel : public TControl {
 public:
  struct CreateArgs {
    Bounds bounds;
    bool visible = true;
  };
  void Create(const Host& host, const CreateArgs& args);

  enum Anchors : unsigned { kLeft = 1, kTop = 2, kRight = 4, kBottom = 8 };
  // Call with the child at its designed place and the panel at its designed size.
  void Anchor(TControl& child, unsigned anchors);

 protected:
  LRESULT HandleSubclassed(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  struct Anchored {
    HWND child;
    unsigned anchors;
    RECT designed;  // in the panel's client area
    SIZE panel;     // the panel's client size when designed
  };
  void FollowSize(int width, int height) const;

  std::vector<Anchored> anchored_;
};

}  // namespace kavrin
