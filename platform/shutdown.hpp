#pragma once

#include "platform/shutdown_api.hpp"

namespace kavrin {

// Asks Windows to shut the computer down, forcing other programs to close.
// True when the program must end now, without storing the settings, whether
// or not the request was granted; false, having done nothing, when the
// version query fails.
bool ShutdownComputer(ShutdownApi& api);

}  // namespace kavrin
