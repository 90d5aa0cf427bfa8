#include "fakes/fake_window_system.hpp"

#include <algorithm>

namespace kavrin::fakes {

namespace {
const FakeWindow* FindWindow(const std::vector<FakeWindow>& windows, WindowHandle handle) {
  for (const FakeWindow& window : windows) {
    if (window.Handle == handle) return &window;
  }
  return nullptr;
}
}  // namespace

void FakeWindowSystem::EnumTopLevelWindows(const std::function<void(WindowHandle)>& visit) {
  ++enumerations;
  if (beforeEnumeration) beforeEnumeration(enumerations);
  if (journal) journal->push_back("enumerate");
  // A copy, so that a visit may change the desktop.
  const std::vector<FakeWindow> snapshot = windows;
  for (const FakeWindow& window : snapshot) visit(window.Handle);
}

bool FakeWindowSystem::IsVisible(WindowHandle window) {
  const FakeWindow* found = FindWindow(windows, window);
  return found != nullptr && found->Visible;
}

bool FakeWindowSystem::Exists(WindowHandle window) { return !failExists && FindWindow(windows, window) != nullptr; }

std::string FakeWindowSystem::Title(WindowHandle window, int bufferSize) {
  titleBufferSizes.push_back(bufferSize);
  const FakeWindow* found = FindWindow(windows, window);
  if (failTitle || found == nullptr || bufferSize <= 0) return std::string();
  return found->Title.substr(0, static_cast<std::size_t>(bufferSize - 1));
}

bool FakeWindowSystem::Post(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  const PostedMessage record{window, message, wParam, lParam};
  posted.push_back(record);
  if (journal) {
    const std::string name = message == kWmClose ? "WM_CLOSE" : message == kWmCommand ? "WM_COMMAND" : "message";
    journal->push_back("post " + name + " " + std::to_string(wParam) + " to " + std::to_string(window));
  }
  if (onPost) onPost(record);
  return !failPost && FindWindow(windows, window) != nullptr;
}

std::uint32_t FakeWindowSystem::ProcessOf(WindowHandle window) {
  const FakeWindow* found = FindWindow(windows, window);
  return found != nullptr ? found->Process : 0;
}

WindowHandle FakeWindowSystem::Add(const std::string& title, bool visible, std::uint32_t process) {
  const WindowHandle handle = next_++;
  windows.push_back(FakeWindow{handle, title, visible, process});
  return handle;
}

void FakeWindowSystem::Remove(WindowHandle window) {
  windows.erase(
      std::remove_if(windows.begin(), windows.end(), [window](const FakeWindow& w) { return w.Handle == window; }),
      windows.end());
}

}  // namespace kavrin::fakes
