#pragma once

#include <vector>

#include "app/widgets/control.hpp"

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
  // The child keeps its 96-dpi bounds' distance to the anchored edges of the
  // panel's 96-dpi bounds, both at the panel's dpi.
  void Anchor(TControl& child, unsigned anchors);

 protected:
  LRESULT HandleSubclassed(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  struct Anchored {
    const TControl* child;
    unsigned anchors;
  };
  void FollowSize(int width, int height) const;

  std::vector<Anchored> anchored_;
};

}  // namespace kavrin
