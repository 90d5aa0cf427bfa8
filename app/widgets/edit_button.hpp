#pragma once

#include <functional>
#include <string>

#include "app/widgets/control.hpp"
#include "app/widgets/edit.hpp"

namespace kavrin {

// The small button at the right end of a field: "..." to browse or an arrow
// to drop down. It lives inside the field's edit and takes no focus.
class TEditButton : public TControl {
 public:
  enum class Glyph { Ellipsis, DropDown };
  void Create(HWND edit, HFONT font, Glyph glyph);
  // Its field places it.
  void Rescale(int dpi, HFONT font) override { AdoptScale(dpi, font); }
  // At the right end of the field, as high as the field's client area.
  void FitToField();

  bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  std::function<void()> onClick;

 protected:
  LRESULT HandleSubclassed(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Draw(const DRAWITEMSTRUCT& item);
  // With visual styles on, the theme's button or drop-down arrow; false for
  // the classic look.
  bool DrawThemed(const DRAWITEMSTRUCT& item);
  Glyph glyph_ = Glyph::Ellipsis;
  // The mouse is over it.
  bool hot_ = false;
  // The theme's data, opened at the first themed drawing; null for the
  // classic look.
  HANDLE theme_ = nullptr;
  bool themeOpened_ = false;
};

// The edit part of a field with a button: keeps its text clear of the button,
// passes the button's notifications on and turns Alt+Down into a press.
class TButtonEdit : public TCustomEdit {
 public:
  HWND ButtonHandle() const { return button_.Handle(); }

 protected:
  void CreateField(const Host& host, const Bounds& bounds, const std::string& text, bool readOnly,
                   TEditButton::Glyph glyph);
  void Rescale(int dpi, HFONT font) override;
  LRESULT HandleSubclassed(UINT message, WPARAM wParam, LPARAM lParam) override;
  // What the button, Alt+Down or another key of the field's own does.
  virtual void ButtonClick() {}
  virtual bool IsButtonKey(WPARAM key, bool alt) const;
  // After a browse dialog: the focus comes back when the field can take it.
  void FocusIfPossible();

  TEditButton button_;

 private:
  void KeepTextClearOfButton();
};

}  // namespace kavrin
