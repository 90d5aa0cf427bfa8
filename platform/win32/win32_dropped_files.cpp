#include "platform/win32/win32_dropped_files.hpp"

namespace kavrin::win32 {

std::vector<std::string> DroppedFileNames(HDROP drop) {
  std::vector<std::string> names;
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT index = 0; index < count; ++index) {
    // The length without the terminating zero; names may exceed MAX_PATH.
    const UINT length = DragQueryFileA(drop, index, nullptr, 0);
    if (length == 0) continue;
    std::string name(static_cast<size_t>(length) + 1, '\0');
    const UINT copied = DragQueryFileA(drop, index, name.data(), length + 1);
    if (copied == 0) continue;
    name.resize(copied);
    names.push_back(std::move(name));
  }
  return names;
}

}  // namespace kavrin::win32
