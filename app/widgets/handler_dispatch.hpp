#pragma once

#include <windows.h>

#include <functional>

namespace kavrin {

// Runs what a message asks for. This is the one place where an error that
// ends a handler is caught and shown in an error box owned by `owner` (may be
// null). Returns false when the handler ended with an error.
//
// It runs in the four entry procedures, where messages reach the program, and
// nowhere else: BaseWindow::WindowProc (the main window, the drop-down),
// ContainerProc (panels, tab sheets), TControl::SubclassProc (the controls
// that subclass their window) and the procedure of the Select Directory
// dialog. Each catches with the top-level window it belongs to as the owner.
// Everything below them, the reflection of notifications to controls
// included, calls plainly and lets an error pass up. The one exception is the
// end after a window closed during a batch: the window's model folds the
// batch's error and a failed store into the last box before the program
// ends, since a box shown after the end would close at once.
// Start-up, before any message, runs its two steps (loading the settings,
// recovering the encoder's options) through it too, without an owner while
// the window is hidden.
//
// Modal loops send, never call: a loop of our own (the drop-down's) and the
// system's (a dialog, a message box) hand every message on with
// DispatchMessage or SendMessage, a key that presses a button included
// (BM_CLICK), so that its handler comes in again through an entry procedure.
// An error inside the loop then ends in exactly one catch, the innermost
// one, and the loop goes on; a handler called from the loop directly would
// let its error end the loop and the handler that opened it.
bool RunHandler(HWND owner, const std::function<void()>& handler);

// The top-level window a control belongs to, to own its error boxes.
HWND OwnerOf(HWND control);

}  // namespace kavrin
