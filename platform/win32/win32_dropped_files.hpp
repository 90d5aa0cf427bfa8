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

}  // namespace kavrin::win32
