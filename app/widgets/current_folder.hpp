#pragma once

#include <string>

#include "platform/folders.hpp"

namespace kavrin {

// Puts the process's current folder back as it was when the guard was made.
// The system's browse dialogs move it to wherever the user browsed, and a
// relative path in a field, and the folder BeSweet starts in, would follow.
// A folder removed in the meantime stays lost; there is nowhere better to go.
class CurrentFolderGuard {
 public:
  explicit CurrentFolderGuard(Folders& folders) : folders_(folders), folder_(folders.CurrentFolder()) {}
  ~CurrentFolderGuard() {
    if (!folder_.empty()) folders_.SetCurrentFolder(folder_);
  }
  CurrentFolderGuard(const CurrentFolderGuard&) = delete;
  CurrentFolderGuard& operator=(const CurrentFolderGuard&) = delete;

 private:
  Folders& folders_;
  std::string folder_;
};

}  // namespace kavrin
