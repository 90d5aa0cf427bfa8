#include "app/current_folder.hpp"

#include <windows.h>

namespace kavrin {

std::string CurrentFolder() {
  const DWORD needed = GetCurrentDirectoryA(0, nullptr);
  if (needed == 0) return std::string();
  std::string folder(needed, '\0');
  const DWORD written = GetCurrentDirectoryA(needed, folder.data());
  folder.resize(written < needed ? written : 0);
  return folder;
}

CurrentFolderGuard::~CurrentFolderGuard() {
  // A folder removed in the meantime stays lost; there is nowhere better to go.
  if (!folder_.empty()) SetCurrentDirectoryA(folder_.c_str());
}

}  // namespace kavrin
