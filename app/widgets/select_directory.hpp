#pragma once

#include <windows.h>

#include <string>

#include "platform/folders.hpp"

namespace kavrin {

// The options of the folder selection dialog.
struct SelectDirOptions {
  bool allowCreate = false;    // the folder line is an edit one may type a new folder into
  bool performCreate = false;  // after OK, the folder is created with its missing parents
  bool prompt = false;         // OK on a folder that does not exist asks first
};

// The modal folder selection dialog "Select Directory", owned by `owner`,
// opened at `folder`. True on OK, with the chosen folder in `folder`.
bool SelectDirectory(HWND owner, std::string& folder, const SelectDirOptions& options, Folders& folders);

}  // namespace kavrin
