#pragma once

#include <functional>
#include <string>

#include "app/check_box.hpp"
#include "app/control.hpp"

namespace kavrin {

// Radio buttons with the same parent form one exclusive group: checking one
// clears the others, clearing one touches no other.
class TRadioButton : public TControl, public TCheckable {
 public:
  struct CreateArgs {
    std::string caption;
    Bounds bounds;
    bool checked = false;
    // Starts the arrow-key group of the following radio buttons.
    bool firstOfGroup = false;
  };
  void Create(const Host& host, const CreateArgs& args);

  bool Checked() const override;
  void SetChecked(bool checked) override;

  bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  std::function<void()> onClick;

 private:
  void SetState(bool checked);
};

}  // namespace kavrin
