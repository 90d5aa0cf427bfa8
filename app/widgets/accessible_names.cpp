#include "app/widgets/accessible_names.hpp"

// The property and class ids are defined here, once.
#include <initguid.h>
#include <oleacc.h>

namespace kavrin {

// Out of line, where the interface is complete: members are destroyed here.
AccessibleNames::AccessibleNames() = default;
AccessibleNames::~AccessibleNames() = default;

void AccessibleNames::Name(HWND window, const wchar_t* name) { Annotate(window, PROPID_ACC_NAME, name); }

void AccessibleNames::Shortcut(HWND window, const wchar_t* keys) {
  Annotate(window, PROPID_ACC_KEYBOARDSHORTCUT, keys);
}

// The service comes with the first name; COM and oleacc are not needed
// before.
void AccessibleNames::Annotate(HWND window, const GUID& property, const wchar_t* text) {
  if (!tried_) {
    tried_ = true;
    // RPC_E_CHANGED_MODE: the thread has COM already, in the other model.
    const HRESULT init = com_.emplace(COINIT_APARTMENTTHREADED).Result();
    void* created = nullptr;
    if ((SUCCEEDED(init) || init == RPC_E_CHANGED_MODE) &&
        SUCCEEDED(
            CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices, &created))) {
      services_.Reset(static_cast<IAccPropServices*>(created));
    }
  }
  if (!services_ || window == nullptr) return;
  services_.Get()->SetHwndPropStr(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, property, text);
}

}  // namespace kavrin
