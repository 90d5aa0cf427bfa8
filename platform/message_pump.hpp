#pragma once

namespace kavrin {

// The main window's "handle all pending messages" step.
class MessagePump {
 public:
  virtual ~MessagePump() = default;
  virtual void ProcessMessages() = 0;
};

}  // namespace kavrin
