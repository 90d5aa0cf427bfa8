#pragma once

#include "app/control.hpp"

namespace kavrin {

// A plain container.
class TPanel : public TControl {
 public:
  struct CreateArgs {
    Bounds bounds;
    bool visible = true;
  };
  void Create(const Host& host, const CreateArgs& args);
};

}  // namespace kavrin
