#pragma once

#include "platform/batch_session.hpp"
#include "platform/clock.hpp"
#include "platform/file_system.hpp"
#include "platform/folders.hpp"
#include "platform/process.hpp"
#include "platform/profile.hpp"
#include "platform/registry.hpp"
#include "platform/shutdown_api.hpp"
#include "platform/text_services.hpp"
#include "platform/window_system.hpp"

namespace kavrin {

// Every service of the operating system that the main window and its batch
// use, as the platform's interfaces; WinMain owns the real ones. What acts on
// the window itself, the batch's message pump and the taskbar button, the
// window owns.
struct AppServices {
  ProfileStore& profile;
  ProgramLocation& program;
  Folders& folders;
  FileLookup& lookup;
  FileStore& files;
  Collation& collation;
  ErrorTexts& errors;
  ProcessLauncher& launcher;
  Clock& clock;
  Registry& registry;
  WindowSystem& windows;
  BatchSession& session;
  ShutdownApi& shutdown;
};

}  // namespace kavrin
