#pragma once

#include <string>

#include "app/widgets/control.hpp"

namespace kavrin {

// A framed group with a caption that also hosts its children, so it passes
// their notifications on to them.
class TGroupBox : public TControl {
 public:
  struct CreateArgs {
    std::string caption;
    Bounds bounds;
    bool enabled = true;
  };
  void Create(const Host& host, const CreateArgs& args);

 protected:
  LRESULT HandleSubclassed(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace kavrin
