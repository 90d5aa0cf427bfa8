#pragma once

#include <windows.h>

#include <functional>

#include "platform/win32/win32_batch_session.hpp"
#include "platform/win32/win32_clock.hpp"
#include "platform/win32/win32_file_lookup.hpp"
#include "platform/win32/win32_file_store.hpp"
#include "platform/win32/win32_folders.hpp"
#include "platform/win32/win32_message_pump.hpp"
#include "platform/win32/win32_process.hpp"
#include "platform/win32/win32_profile.hpp"
#include "platform/win32/win32_registry.hpp"
#include "platform/win32/win32_shutdown.hpp"
#include "platform/win32/win32_taskbar_progress.hpp"
#include "platform/win32/win32_text_services.hpp"
#include "platform/win32/win32_window_system.hpp"

namespace kavrin {

// Every service of the operating system that the main window and its batch
// use, made once in WinMain and handed to the window. Three of them act on
// the window itself and reach it through hooks the window sets: the message
// pump of the batch's waits hands keys to it as the main loop does, the
// taskbar shows progress on its button, and the shutdown ends the program
// through it.
struct AppServices {
  AppServices() = default;
  AppServices(const AppServices&) = delete;
  AppServices& operator=(const AppServices&) = delete;

  struct WindowHooks {
    std::function<bool(MSG&)> preTranslate;
    std::function<HWND()> mainWindow;
    std::function<void(int)> endProgram;
  };
  WindowHooks hooks;

  win32::Win32ProfileStore profile;
  win32::Win32ProgramLocation program;
  win32::Win32Folders folders;
  win32::Win32FileLookup lookup;
  win32::Win32FileStore files;
  win32::Win32Collation collation;
  win32::Win32ErrorTexts errors;
  win32::Win32ProcessLauncher launcher;
  win32::Win32Clock clock;
  win32::Win32Registry registry;
  win32::Win32WindowSystem windows;
  win32::Win32BatchSession session;
  win32::Win32MessagePump pump{[this](MSG& message) { return hooks.preTranslate && hooks.preTranslate(message); }};
  win32::Win32TaskbarProgress taskbar{[this] { return hooks.mainWindow ? hooks.mainWindow() : HWND{}; }};
  win32::Win32ShutdownApi shutdown{[this](int exitCode) {
    if (hooks.endProgram) hooks.endProgram(exitCode);
  }};
};

}  // namespace kavrin
