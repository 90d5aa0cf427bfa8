#pragma once

#include <string>

#include "app/widgets/control.hpp"

namespace kavrin {

// The one-line edit every text field is built on.
class TCustomEdit : public TControl {
 public:
  std::string Text() const { return Caption(); }
  // The same text again is no change: the field keeps its caret and view,
  // and sends no change notice.
  void SetText(const std::string& text) {
    if (text != Text()) SetCaption(text);
  }

 protected:
  void CreateEdit(const Host& host, const std::string& text, const Bounds& bounds, bool readOnly);
};

// A plain edit; a read-only one may be painted in the scroll-bar grey.
class TEdit : public TCustomEdit {
 public:
  struct CreateArgs {
    std::string text;
    Bounds bounds;
    bool readOnly = false;
    bool grey = false;
  };
  void Create(const Host& host, const CreateArgs& args);
  bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  bool grey_ = false;
};

}  // namespace kavrin
