#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/widgets/edit_button.hpp"
#include "app/widgets/popup_window.hpp"

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
    // The control inside it that has the focus when it opens.
    const TControl* popupFocus = nullptr;
  };
  void Create(const Host& host, const CreateArgs& args);

  TPanel* PopupControl() const { return popupControl_; }
  // The drop-down window, once it has been opened.
  HWND PopupWindow() const { return popup_.Handle(); }
  // Opens the drop-down and returns when it has closed.
  void DropDown();
  bool DroppedDown() const { return dropped_; }

  bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  // Just before the drop-down opens.
  std::function<void()> onInitPopup;
  // When it closes: the text the field is to show and whether to accept it.
  std::function<void(std::string& text, bool& accept)> onCloseUp;
  // Files dropped onto the field, in their order.
  std::function<void(const std::vector<std::string>&)> onDropFiles;

 protected:
  LRESULT HandleSubclassed(UINT message, WPARAM wParam, LPARAM lParam) override;
  void ButtonClick() override { DropDown(); }
  bool IsButtonKey(WPARAM key, bool alt) const override;

 private:
  RECT DropDownPlace(int clientWidth, int clientHeight) const;

  TPanel* popupControl_ = nullptr;
  const TControl* popupFocus_ = nullptr;
  TdxPopupWindow popup_;
  bool dropped_ = false;
};

}  // namespace kavrin
