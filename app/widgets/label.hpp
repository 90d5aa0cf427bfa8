#pragma once

#include <string>

#include "app/widgets/control.hpp"

namespace kavrin {

// Static text; takes no focus.
class TLabel : public TControl {
 public:
  enum class Alignment { Left, Center };
  struct CreateArgs {
    std::string caption;
    Bounds bounds;
    Alignment alignment = Alignment::Left;
    // Sizes the label to its caption in its font, at every dpi; off where
    // the layout fixes the size. The position stays as laid out.
    bool autoSize = true;
  };
  void Create(const Host& host, const CreateArgs& args);
  void Rescale(int dpi, HFONT font) override;

 private:
  void FitToCaption();
  bool autoSize_ = true;
};

}  // namespace kavrin
