#pragma once

#include <functional>

#include "platform/message_pump.hpp"

struct tagMSG;

namespace kavrin::win32 {

// Handles every message waiting in the thread's queue, then returns.
class Win32MessagePump final : public MessagePump {
 public:
  // Gets each message first and answers true when it has handled it, e.g.
  // IsDialogMessage for keyboard navigation, as the main loop does.
  using PreTranslate = std::function<bool(tagMSG&)>;

  Win32MessagePump() = default;
  explicit Win32MessagePump(PreTranslate preTranslate) : preTranslate_(std::move(preTranslate)) {}

  void ProcessMessages() override;

 private:
  PreTranslate preTranslate_;
};

}  // namespace kavrin::win32
