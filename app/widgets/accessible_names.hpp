#pragma once

#include <windows.h>

#include <optional>

#include "platform/win32/unique_resource.hpp"

struct IAccPropServices;

namespace kavrin {

// Names and keyboard shortcuts for screen readers where the system finds
// none of its own, given through the system's annotation service. Where the
// service is missing, nothing is named. The windows are the program's for
// its whole life, so their names are never taken back.
class AccessibleNames {
 public:
  AccessibleNames();
  ~AccessibleNames();
  AccessibleNames(const AccessibleNames&) = delete;
  AccessibleNames& operator=(const AccessibleNames&) = delete;

  // The service takes UTF-16; the names here are fixed English words.
  void Name(HWND window, const wchar_t* name);
  void Shortcut(HWND window, const wchar_t* keys);

 private:
  void Annotate(HWND window, const GUID& property, const wchar_t* text);

  // Declared before the service, which must go first.
  std::optional<win32::ComInitialisation> com_;
  win32::ComPointer<IAccPropServices> services_;
  bool tried_ = false;
};

}  // namespace kavrin
