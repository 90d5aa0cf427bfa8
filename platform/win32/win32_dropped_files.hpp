#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>
#include <vector>

namespace kavrin::win32 {

// The names of a drop, in the order they were dropped. The drop stays the
// caller's to finish.
std::vector<std::string> DroppedFileNames(HDROP drop);

// The names of a drop, which is finished then: what WM_DROPFILES asks of
// the window that receives it.
std::vector<std::string> TakeDroppedFiles(HDROP drop);

}  // namespace kavrin::win32
