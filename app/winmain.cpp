#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <exception>

#include "app/tf_kavrin.hpp"
#include "core/code_page.hpp"
#include "platform/win32/win32_batch_session.hpp"
#include "platform/win32/win32_clock.hpp"
#include "platform/win32/win32_code_page.hpp"
#include "platform/win32/win32_file_lookup.hpp"
#include "platform/win32/win32_file_store.hpp"
#include "platform/win32/win32_folders.hpp"
#include "platform/win32/win32_process.hpp"
#include "platform/win32/win32_profile.hpp"
#include "platform/win32/win32_registry.hpp"
#include "platform/win32/win32_shutdown.hpp"
#include "platform/win32/win32_text_services.hpp"
#include "platform/win32/win32_window_system.hpp"

namespace {

// The real services, made once and lent to the window as interfaces.
class Win32Services {
 public:
  Win32Services() = default;
  Win32Services(const Win32Services&) = delete;
  Win32Services& operator=(const Win32Services&) = delete;

  kavrin::AppServices Services() {
    return kavrin::AppServices{profile_,  program_, folders_,  lookup_,  files_,   collation_, errors_,
                               launcher_, clock_,   registry_, windows_, session_, shutdown_};
  }

 private:
  kavrin::win32::Win32ProfileStore profile_;
  kavrin::win32::Win32ProgramLocation program_;
  kavrin::win32::Win32Folders folders_;
  kavrin::win32::Win32FileLookup lookup_;
  kavrin::win32::Win32FileStore files_;
  kavrin::win32::Win32Collation collation_;
  kavrin::win32::Win32ErrorTexts errors_;
  kavrin::win32::Win32ProcessLauncher launcher_;
  kavrin::win32::Win32Clock clock_;
  kavrin::win32::Win32Registry registry_;
  kavrin::win32::Win32WindowSystem windows_;
  kavrin::win32::Win32BatchSession session_;
  kavrin::win32::Win32ShutdownApi shutdown_;
};

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
    Win32Services services;
    kavrin::TfKavrin fKavrin(services.Services());
    fKavrin.Create(showCommand);
    return RunMessageLoop(fKavrin);
  } catch (const std::exception& error) {
    MessageBoxA(nullptr, error.what(), "Kavrin", MB_OK | MB_ICONERROR);
    return 1;
  }
}
