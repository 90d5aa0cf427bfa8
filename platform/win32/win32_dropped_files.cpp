#include "platform/win32/win32_dropped_files.hpp"

namespace kavrin::win32 {

namespace {

// shell32 is loaded with the first drop rather than with the program: under
// Wine it and what it brings cost a good part of the start-up. It stays
// loaded.
struct DropCalls {
  UINT(WINAPI* query)(HDROP, UINT, LPSTR, UINT) = nullptr;
  void(WINAPI* finish)(HDROP) = nullptr;
};

const DropCalls& Calls() {
  static const DropCalls calls = [] {
    DropCalls found;
    if (HMODULE shell = LoadLibraryA("shell32.dll")) {
      found.query = reinterpret_cast<decltype(found.query)>(
          reinterpret_cast<void (*)()>(GetProcAddress(shell, "DragQueryFileA")));
      found.finish =
          reinterpret_cast<decltype(found.finish)>(reinterpret_cast<void (*)()>(GetProcAddress(shell, "DragFinish")));
    }
    return found;
  }();
  return calls;
}

}  // namespace

std::vector<std::string> DroppedFileNames(HDROP drop) {
  std::vector<std::string> names;
  const auto query = Calls().query;
  if (query == nullptr) return names;
  const UINT count = query(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT index = 0; index < count; ++index) {
    // The length without the terminating zero; names may exceed MAX_PATH.
    const UINT length = query(drop, index, nullptr, 0);
    if (length == 0) continue;
    std::string name(static_cast<size_t>(length) + 1, '\0');
    const UINT copied = query(drop, index, name.data(), length + 1);
    if (copied == 0) continue;
    name.resize(copied);
    names.push_back(std::move(name));
  }
  return names;
}

std::vector<std::string> TakeDroppedFiles(HDROP drop) {
  std::vector<std::string> names = DroppedFileNames(drop);
  if (const auto finish = Calls().finish) finish(drop);
  return names;
}

}  // namespace kavrin::win32
