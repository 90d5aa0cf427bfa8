#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/window_system.hpp"

namespace kavrin::fakes {

struct FakeWindow {
  WindowHandle Handle = 0;
  std::string Title;
  bool Visible = true;
  std::uint32_t Process = 0;
};

struct PostedMessage {
  WindowHandle Window = 0;
  unsigned Message = 0;
  std::uintptr_t WParam = 0;
  std::intptr_t LParam = 0;
};

// A desktop of top-level windows in enumeration order. Tests change it
// between passes through `beforeEnumeration`, which gets the pass number
// (counted from 1).
class FakeWindowSystem final : public WindowSystem {
 public:
  void EnumTopLevelWindows(const std::function<void(WindowHandle)>& visit) override;
  bool IsVisible(WindowHandle window) override;
  bool Exists(WindowHandle window) override;
  std::string Title(WindowHandle window, int bufferSize) override;
  bool Post(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
  std::uint32_t ProcessOf(WindowHandle window) override;

  WindowHandle Add(const std::string& title, bool visible = true, std::uint32_t process = 0);
  void Remove(WindowHandle window);

  std::vector<FakeWindow> windows;
  std::function<void(int pass)> beforeEnumeration;
  std::function<void(const PostedMessage&)> onPost;

  bool failTitle = false;  // every title reads as empty
  bool failPost = false;
  bool failExists = false;  // every window reads as destroyed

  int enumerations = 0;
  std::vector<int> titleBufferSizes;
  std::vector<PostedMessage> posted;
  std::vector<std::string>* journal = nullptr;  // shared record of calls across fakes

 private:
  WindowHandle next_ = 0x100;
};

}  // namespace kavrin::fakes
