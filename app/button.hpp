#pragma once

#include <functional>
#include <string>

#include "app/control.hpp"
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
  bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  std::function<void()> onClick;
};

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
  // The glyph is drawn again for the new dpi.
  void Rescale(int dpi, HFONT font) override;

 private:
  void ShowGlyph();

  Kind kind_ = Kind::Custom;
  // The button shows it but does not own it.
  win32::UniqueIcon glyph_;
};

}  // namespace kavrin
