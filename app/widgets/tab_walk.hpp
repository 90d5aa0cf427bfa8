#pragma once

#include <windows.h>

namespace kavrin {

// Tab and Shift+Tab over the controls of `root` and of the containers in it,
// in tab order, wrapping round. Unlike the dialog manager's walk, a container
// that is a tab stop itself (the page control) takes the focus before the
// controls inside it. True when the message was such a key and was handled.
bool HandleTabKey(HWND root, const MSG& message);

}  // namespace kavrin
