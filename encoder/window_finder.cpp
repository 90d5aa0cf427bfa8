#include "encoder/window_finder.hpp"

#include <algorithm>

#include "core/text.hpp"

namespace kavrin {

bool EnumWindowsCallback(WindowSystem& windows, WindowList& list, WindowHandle window) {
  if (!windows.IsVisible(window)) return true;
  std::string title = windows.Title(window, kWindowTitleBufferSize);
  // A misbehaving Title() must not smuggle in more than the buffer could hold.
  if (title.size() > kWindowTitleBufferSize - 1) title.resize(kWindowTitleBufferSize - 1);
  if (Trim(title).empty()) return true;
  list.push_back(WindowListEntry{std::move(title), std::make_unique<THWNDClass>(window)});
  return true;
}

WindowFinder::WindowFinder(WindowSystem& windows, MessagePump& pump, Clock& clock)
    : windows_(windows), pump_(pump), clock_(clock) {}

void WindowFinder::CreateWindowList() {
  if (!list_) list_ = std::make_unique<WindowList>();
}

void WindowFinder::ClearWindowList(bool releaseList) {
  if (!list_) return;
  list_->clear();
  if (releaseList) list_.reset();
}

void WindowFinder::Pass(const std::vector<std::string>& keys, bool exact,
                        const std::function<void(WindowHandle)>& visit) {
  ClearWindowList(false);
  windows_.EnumTopLevelWindows([this](WindowHandle window) { EnumWindowsCallback(windows_, *list_, window); });
  for (const WindowListEntry& entry : *list_) {
    const std::string upper = UpperAscii(entry.Title);
    const bool matches = std::any_of(keys.begin(), keys.end(), [&](const std::string& key) {
      return exact ? upper == key : (!key.empty() && upper.find(key) != std::string::npos);
    });
    if (matches) visit(entry.Object->Handle);
  }
}

WindowHandle WindowFinder::FindWindowByTitle(const std::string& title, int timeout, bool exact,
                                             const WindowFilter& accept) {
  // A search outside a batch gets a list of its own rather than failing.
  CreateWindowList();
  const std::string key = UpperAscii(title);
  const long long passLimit = static_cast<long long>(timeout) * 100;
  long long passes = 0;
  for (;;) {
    bool found = false;
    WindowHandle result = 0;
    Pass({key}, exact, [&](WindowHandle window) {
      if (accept && !accept(window)) return;
      found = true;
      result = window;
    });
    if (!found) {
      pump_.ProcessMessages();
      clock_.Sleep(10);
    }
    ++passes;
    if (found) return result;
    if (passes >= passLimit) return 0;
  }
}

std::vector<WindowHandle> WindowFinder::WindowsTitled(const std::vector<std::string>& titles) {
  CreateWindowList();
  std::vector<std::string> keys(titles.size());
  std::transform(titles.begin(), titles.end(), keys.begin(), UpperAscii);
  std::vector<WindowHandle> found;
  Pass(keys, true, [&found](WindowHandle window) { found.push_back(window); });
  return found;
}

}  // namespace kavrin
