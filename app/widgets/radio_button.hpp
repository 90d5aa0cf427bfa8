#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/widgets/check_box.hpp"
#include "app/widgets/control.hpp"

namespace kavrin {

// Radio buttons with the same parent form one exclusive group: checking one
// clears the others, clearing one touches no other. The user chooses with a
// click, Space or the arrow keys; the focus alone never chooses.
class TRadioButton : public TCheckButton {
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

 protected:
  LRESULT HandleSubclassed(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  std::vector<TRadioButton*> Group() const;
  void SetState(bool checked, const std::vector<TRadioButton*>& group);
  void ChooseNeighbour(bool previous);

  // Set while the button handles a mouse release, a Space release or
  // BM_CLICK: the only times its BN_CLICKED is a click.
  bool clicking_ = false;
};

}  // namespace kavrin
