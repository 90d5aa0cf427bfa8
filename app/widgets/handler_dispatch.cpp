#include "app/widgets/handler_dispatch.hpp"

#include <exception>

namespace kavrin {

namespace {

void ShowError(HWND owner, const char* message) { MessageBoxA(owner, message, "Kavrin", MB_OK | MB_ICONERROR); }

}  // namespace

bool RunHandler(HWND owner, const std::function<void()>& handler) {
  if (!handler) return true;
  // No exception may leave a window procedure: the system's frames lie between
  // here and the message loop.
  try {
    handler();
    return true;
  } catch (const std::exception& error) {
    ShowError(owner, error.what());
  } catch (...) {
    ShowError(owner, "Unexpected error");
  }
  return false;
}

HWND OwnerOf(HWND control) { return control != nullptr ? GetAncestor(control, GA_ROOT) : nullptr; }

}  // namespace kavrin
