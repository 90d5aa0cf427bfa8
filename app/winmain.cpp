#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <exception>

#include "app/tf_kavrin.hpp"
#include "core/code_page.hpp"
#include "platform/win32/win32_code_page.hpp"

namespace {

int RunMessageLoop(kavrin::TfKavrin& mainWindow) {
  MSG message{};
  for (;;) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 1;
    // Tab and Shift+Tab walk the controls of each parent in tab order.
    if (mainWindow.Handle() != nullptr && mainWindow.PreTranslate(message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
  // Paths are read in the system's ANSI code page from the first rule on.
  const kavrin::win32::Win32CodePage ansiCodePage;
  const kavrin::ScopedCodePage pathRules(ansiCodePage);

  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_TAB_CLASSES;
  InitCommonControlsEx(&controls);

  try {
    kavrin::AppServices services;
    kavrin::TfKavrin fKavrin(services);
    fKavrin.Create(showCommand);
    return RunMessageLoop(fKavrin);
  } catch (const std::exception& error) {
    MessageBoxA(nullptr, error.what(), "Kavrin", MB_OK | MB_ICONERROR);
    return 1;
  }
}
