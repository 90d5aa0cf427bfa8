#include "app/panel.hpp"

namespace kavrin {

void TPanel::Create(const Host& host, const CreateArgs& args) {
  const DWORD visible = args.visible ? WS_VISIBLE : 0;
  CreateChild(host, ContainerClassName(), "", visible | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, args.bounds);
}

}  // namespace kavrin
