#pragma once

#include <windows.h>

#include <functional>
#include <utility>

#include "batch/batch_run.hpp"
#include "encoder/encoder_automation.hpp"
#include "platform/win32/win32_clock.hpp"
#include "platform/win32/win32_file_lookup.hpp"
#include "platform/win32/win32_file_store.hpp"
#include "platform/win32/win32_message_pump.hpp"
#include "platform/win32/win32_process.hpp"
#include "platform/win32/win32_profile.hpp"
#include "platform/win32/win32_registry.hpp"
#include "platform/win32/win32_taskbar_progress.hpp"
#include "platform/win32/win32_window_system.hpp"

namespace kavrin {

// What the batch behind "Go" runs on: the real services, and one runner for
// the life of the window, so that it can tell a running batch from none.
struct BatchParts {
  BatchParts(EncoderForm& encoderForm, win32::Win32MessagePump::PreTranslate preTranslate,
             std::function<HWND()> mainWindow)
      : pump(std::move(preTranslate)),
        encoder(EncoderServices{encoderForm, program, registry, windows, pump, clock, launcher, files, lookup}),
        taskbar(std::move(mainWindow)),
        runner(BatchServices{launcher, lookup, files, clock, pump, encoder, &taskbar}) {}

  win32::Win32ProcessLauncher launcher;
  win32::Win32FileLookup lookup;
  win32::Win32FileStore files;
  win32::Win32Clock clock;
  win32::Win32ProgramLocation program;
  win32::Win32Registry registry;
  win32::Win32WindowSystem windows;
  win32::Win32MessagePump pump;
  EncoderAutomation encoder;
  win32::Win32TaskbarProgress taskbar;
  BatchRunner runner;
};

}  // namespace kavrin
