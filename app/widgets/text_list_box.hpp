#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/widgets/control.hpp"

namespace kavrin {

// A single-selection, unsorted list of text lines, each able to carry an
// object. Its horizontal scroll range follows its widest line.
class TTextListBox : public TControl {
 public:
  struct CreateArgs {
    Bounds bounds;
  };
  void Create(const Host& host, const CreateArgs& args);

  int Count() const;
  std::string Line(int index) const;
  void* Object(int index) const;
  void Add(const std::string& text, void* object);
  void Insert(int index, const std::string& text, void* object);
  void Delete(int index);
  // The line at `from` goes to `to` with its object; the scroll range, which
  // the same lines keep, stays.
  void Move(int from, int to);
  void Clear();
  // -1 when nothing is selected.
  int ItemIndex() const;
  void SetItemIndex(int index);

  bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  std::function<void()> onClick;
  // Files dropped onto the list, in their order.
  std::function<void(const std::vector<std::string>&)> onDropFiles;

 protected:
  LRESULT HandleSubclassed(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  int LineWidth(const std::string& text) const;
  void UpdateScrollRange();
};

}  // namespace kavrin
