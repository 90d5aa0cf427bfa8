#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "platform/taskbar_progress.hpp"
#include "platform/win32/unique_resource.hpp"

struct ITaskbarList3;

namespace kavrin::win32 {

// The taskbar button's progress through ITaskbarList3. The interface is made
// at the first call of a batch and let go at Clear, so a taskbar that came
// back in between (Explorer restarted) is found afresh. Where COM or the
// interface is missing, as under some Wine versions, every call does nothing.
class Win32TaskbarProgress final : public TaskbarProgress {
 public:
  // The window whose button shows the progress; it is asked at each call,
  // because the owner may make this object before its window exists.
  explicit Win32TaskbarProgress(std::function<HWND()> window);
  ~Win32TaskbarProgress() override;
  Win32TaskbarProgress(const Win32TaskbarProgress&) = delete;
  Win32TaskbarProgress& operator=(const Win32TaskbarProgress&) = delete;

  void SetProgress(int done, int total) override;
  void SetError() override;
  void Clear() override;

 private:
  ITaskbarList3* Acquire(HWND window);
  void Release();

  std::function<HWND()> window_;
  // Declared before the interface, which must go first.
  std::optional<ComInitialisation> com_;
  ComPointer<ITaskbarList3> list_;
  // Tried and failed since the last Clear: not tried again until then.
  bool unavailable_ = false;
};

}  // namespace kavrin::win32
