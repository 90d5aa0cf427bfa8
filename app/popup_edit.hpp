#pragma once

#include <functional>
#include <string>

#include "app/edit_button.hpp"

namespace kavrin {

class TPanel;

// A field that shows a summary text and drops down another control
// (PopupControl). The text shows no caret and is not typed into.
class TdxPopupEdit : public TButtonEdit {
 public:
  struct CreateArgs {
    std::string text;
    Bounds bounds;
    TPanel* popupControl = nullptr;
  };
  void Create(const Host& host, const CreateArgs& args);

  TPanel* PopupControl() const { return popupControl_; }
  void DropDown();

  bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  // Just before the drop-down opens.
  std::function<void()> onInitPopup;
  // When it closes: the text the field is to show and whether to accept it.
  std::function<void(std::string& text, bool& accept)> onCloseUp;

 protected:
  LRESULT HandleSubclassed(UINT message, WPARAM wParam, LPARAM lParam) override;
  void ButtonClick() override { DropDown(); }
  bool IsButtonKey(WPARAM key, bool alt) const override;

 private:
  TPanel* popupControl_ = nullptr;
};

}  // namespace kavrin
