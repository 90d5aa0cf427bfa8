#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.hpp"
#include "platform/message_pump.hpp"
#include "platform/window_system.hpp"

namespace kavrin {

// Holds the handle of one enumerated window.
class THWNDClass {
 public:
  explicit THWNDClass(WindowHandle handle) : Handle(handle) {}
  WindowHandle Handle;
};

struct WindowListEntry {
  std::string Title;  // as read, untrimmed
  std::unique_ptr<THWNDClass> Object;
};

using WindowList = std::vector<WindowListEntry>;

// The title buffer of the enumeration: at most 249 characters and the terminator.
inline constexpr int kWindowTitleBufferSize = 250;

// Appends the window to `list` when it is visible and its trimmed title is not
// empty. Always asks the enumeration to go on.
bool EnumWindowsCallback(WindowSystem& windows, WindowList& list, WindowHandle window);

// The visible top-level windows by title, refilled on every search pass. The
// list exists from CreateWindowList to ClearWindowList(true).
class WindowFinder {
 public:
  WindowFinder(WindowSystem& windows, MessagePump& pump, Clock& clock);

  void CreateWindowList();
  void ClearWindowList(bool releaseList);
  bool WindowListExists() const { return list_ != nullptr; }
  const WindowList* Entries() const { return list_.get(); }

  // Which matching windows a search may take; all when empty.
  using WindowFilter = std::function<bool(WindowHandle)>;

  // The last visible window in enumeration order whose title matches (ASCII
  // letters compared regardless of case) and that `accept` takes, or 0 after
  // `timeout` seconds.
  WindowHandle FindWindowByTitle(const std::string& title, int timeout, bool exact,
                                 const WindowFilter& accept = nullptr);

  // One pass: every visible window whose title matches one of `titles`
  // exactly, in enumeration order.
  std::vector<WindowHandle> WindowsTitled(const std::vector<std::string>& titles);

 private:
  WindowSystem& windows_;
  MessagePump& pump_;
  Clock& clock_;
  // Refills the list and visits the entries whose title matches one of the
  // keys (upper-cased).
  void Pass(const std::vector<std::string>& keys, bool exact, const std::function<void(WindowHandle)>& visit);

  std::unique_ptr<WindowList> list_;
};

}  // namespace kavrin
