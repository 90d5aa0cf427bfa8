#pragma once

#include <string>

namespace kavrin {

// The process's current folder; empty when it cannot be read.
std::string CurrentFolder();

// Puts the process's current folder back as it was when the guard was made.
// The system's browse dialogs move it to wherever the user browsed, and a
// relative path in a field, and the folder BeSweet starts in, would follow.
class CurrentFolderGuard {
 public:
  CurrentFolderGuard() : folder_(CurrentFolder()) {}
  ~CurrentFolderGuard();
  CurrentFolderGuard(const CurrentFolderGuard&) = delete;
  CurrentFolderGuard& operator=(const CurrentFolderGuard&) = delete;

 private:
  std::string folder_;
};

}  // namespace kavrin
