#include "app/widgets/group_box.hpp"

namespace kavrin {

void TGroupBox::Create(const Host& host, const CreateArgs& args) {
  CreateChild(host, "Button", args.caption, WS_VISIBLE | WS_GROUP | BS_GROUPBOX, WS_EX_CONTROLPARENT, args.bounds);
  Subclass();
  SetEnabled(args.enabled);
}

LRESULT TGroupBox::HandleSubclassed(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (ReflectToControl(message, wParam, lParam, result)) return result;
  return CallDefault(message, wParam, lParam);
}

}  // namespace kavrin
