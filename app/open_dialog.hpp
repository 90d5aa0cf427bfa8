#pragma once

#include <string>

namespace kavrin {

// The options of the system's open-file dialog, in the "Name|pattern|..."
// filter form; shown by the field or handler that owns it.
class TOpenDialog {
 public:
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
};

}  // namespace kavrin
