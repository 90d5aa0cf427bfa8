#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/widgets/control.hpp"

namespace kavrin {

class TPageControl;

// One page of a page control; it fills the control's display area and hosts
// the page's controls.
class TTabSheet : public TControl {
  friend class TPageControl;

 public:
  // Its page control places it.
  void Rescale(int dpi, HFONT font) override { AdoptScale(dpi, font); }
};

// A tabbed container. Pages are shown by a click on their tab or by the
// program; only the active page is visible.
class TPageControl : public TControl {
 public:
  struct CreateArgs {
    Bounds bounds;
  };
  void Create(const Host& host, const CreateArgs& args);

  // Appends a tab with the caption and builds its page.
  void AddSheet(TTabSheet& sheet, const std::string& caption);
  void SetActivePage(const TTabSheet& sheet);
  const TTabSheet* ActivePage() const;
  // The next page, or the previous one, wrapping round; as a click would.
  void SelectNextPage(bool forward);

  bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void Rescale(int dpi, HFONT font) override;

  std::function<void()> onChange;

 private:
  void ShowSelectedSheet();
  // The display area: where every page lies.
  RECT PageArea() const;
  std::vector<TTabSheet*> sheets_;
};

}  // namespace kavrin
