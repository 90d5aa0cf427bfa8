#pragma once

#include <functional>
#include <string>

#include "app/widgets/control.hpp"

namespace kavrin {

// What the settings need from check boxes and radio buttons alike.
class TCheckable {
 public:
  virtual ~TCheckable() = default;
  virtual bool Checked() const = 0;
  virtual void SetChecked(bool checked) = 0;
};

// A check box or a radio button: a box and its caption.
class TCheckButton : public TControl, public TCheckable {
 public:
  // From now on as wide as its box and caption need in its font, at every
  // dpi; its left, top and height stay as laid out.
  void FitToCaption();
  void Rescale(int dpi, HFONT font) override;

 private:
  void Fit();
  bool fitsCaption_ = false;
};

// A two-state check box. Its click handler runs when the user toggles it and
// when the program changes its state, never when the state stays the same.
class TCheckBox : public TCheckButton {
 public:
  struct CreateArgs {
    std::string caption;
    Bounds bounds;
    bool checked = false;
    bool enabled = true;
    int tag = 0;
  };
  void Create(const Host& host, const CreateArgs& args);

  bool Checked() const override;
  // A program change: the handler runs inside the caller, so an error in it
  // ends the caller's handler as well.
  void SetChecked(bool checked) override;
  int Tag() const { return tag_; }

  bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  std::function<void()> onClick;

 private:
  int tag_ = 0;
};

}  // namespace kavrin
