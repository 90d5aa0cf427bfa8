#pragma once

#include <functional>
#include <string>

#include "app/widgets/control.hpp"
#include "platform/win32/unique_resource.hpp"

namespace kavrin {

// A push button with a caption.
class TButton : public TControl {
 public:
  struct CreateArgs {
    std::string caption;
    Bounds bounds;
    bool enabled = true;
    bool isDefault = false;
  };
  void Create(const Host& host, const CreateArgs& args);

  // Runs the click handler as a user's click would.
  virtual void Click();
  // A press from the keyboard, made the way a click is (BM_CLICK): the
  // handler runs where notifications reach the program.
  void Press();
  // The window's default button, which Enter presses where no other push
  // button has the focus.
  bool IsDefault() const { return isDefault_; }
  bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  std::function<void()> onClick;

 protected:
  LRESULT HandleSubclassed(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  bool isDefault_ = false;
};

// The visible, enabled default button of `root`, or null.
TButton* DefaultButtonOf(HWND root);

// The default button's look goes to the push button `focus` of `root`, or,
// where `focus` is none, to the window's default button.
void ShowDefaultLook(HWND root, HWND focus);

// Enter in `root`, as in a dialog: it presses the focused push button, or the
// default button where no other push button has the focus. A control that
// takes Enter as input keeps it. True when the message was Enter and was
// used, also when it pressed nothing.
bool HandleEnterKey(HWND root, const MSG& message);

// What pressing a button reports to a modal container such as the drop-down.
enum class ModalResult { None, Ok, Cancel };

// Sent to the button's top-level window after the click handler of a button
// with a result has run; wParam is the ModalResult.
inline constexpr UINT kModalResultMessage = WM_APP + 0x100;

// A button that, as kind OK or Cancel, carries the standard caption and glyph,
// is the default or cancel button and reports its result.
class TBitBtn : public TButton {
 public:
  enum class Kind { Custom, Ok, Cancel };
  struct CreateArgs {
    Kind kind = Kind::Custom;
    std::string caption;  // Ignored for OK and Cancel.
    Bounds bounds;
  };
  void Create(const Host& host, const CreateArgs& args);

  Kind GetKind() const { return kind_; }
  ModalResult Result() const;
  // After the handler, OK and Cancel report their result to their window.
  void Click() override;
  // The glyph is drawn again for the new dpi, and for new colours.
  void Rescale(int dpi, HFONT font) override;
  void ColoursChanged() override;

 protected:
  LRESULT HandleSubclassed(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void ShowGlyph();

  Kind kind_ = Kind::Custom;
  // The button shows it but does not own it.
  win32::UniqueIcon glyph_;
};

}  // namespace kavrin
