#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/folders.hpp"

namespace kavrin {

// The system's open-file dialog with its options, the filter in the
// "Name|pattern|..." form. It keeps its initial folder and file name from one
// use to the next.
class TOpenDialog {
 public:
  explicit TOpenDialog(Folders& folders) : folders_(folders) {}

  std::string title;
  std::string filter;
  int filterIndex = 1;  // 1-based, as the system counts.
  std::string defaultExt;
  bool hideReadOnly = false;
  bool allowMultiSelect = false;
  bool extensionDifferent = false;
  bool enableSizing = false;
  std::string initialDir;
  std::string fileName;

  // Shows the dialog owned by `owner`. True on OK, with the chosen files in
  // `files` (in the dialog's order) and the first of them in `fileName`.
  bool Execute(HWND owner);
  const std::vector<std::string>& Files() const { return files_; }

 private:
  Folders& folders_;
  std::vector<std::string> files_;
};

}  // namespace kavrin
