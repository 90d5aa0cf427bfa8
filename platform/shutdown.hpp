#pragma once

#include "platform/shutdown_api.hpp"

namespace kavrin {

// Asks Windows to shut the computer down, forcing other programs to close,
// and ends this program without storing the settings. Returns false, having
// done nothing, when the version query fails; true once EndProgram has been
// called (the caller then does nothing more, should EndProgram return).
bool ShutdownComputer(ShutdownApi& api);

}  // namespace kavrin
