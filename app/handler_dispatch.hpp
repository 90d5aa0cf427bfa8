#pragma once

#include <windows.h>

#include <functional>

namespace kavrin {

// Runs what a message asks for. This is the one place where an error that
// ends a handler is caught and shown in an error box owned by `owner` (may be
// null). It runs where messages reach the program: the window procedures and
// the reflection of notifications to controls, so widgets call their events
// plainly. Returns false when the handler ended with an error.
bool RunHandler(HWND owner, const std::function<void()>& handler);

// The top-level window a control belongs to, to own its error boxes.
HWND OwnerOf(HWND control);

}  // namespace kavrin
