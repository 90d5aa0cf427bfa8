#pragma once

#include <cstdint>
#include <string>

#include "platform/clock.hpp"
#include "platform/message_pump.hpp"
#include "platform/process.hpp"

namespace kavrin {

// Once a second: sleep, let the window handle its messages, ask for the exit
// code; until the code is not 259 or the process has ended. `exitCode` is the
// batch's one variable and keeps its value when a query fails.
void WaitForProcessEnd(ChildProcess& child, Clock& clock, MessagePump& pump, std::uint32_t& exitCode);

// Starts a program minimised with no application name and no current folder,
// waits for its end and closes its handles. False when it could not start.
bool RunAndWait(ProcessLauncher& launcher, const std::string& commandLine, Clock& clock, MessagePump& pump,
                std::uint32_t& exitCode);

}  // namespace kavrin
