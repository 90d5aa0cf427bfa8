#pragma once

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

#include "platform/clock.hpp"
#include "platform/message_pump.hpp"

namespace kavrin::fakes {

// Sleeps a little for real so that a test of many runs stays quick.
class ShortSleepClock final : public Clock {
 public:
  DateTime Now() override { return {}; }
  std::string ShortDate(const DateTime&) override { return std::string(); }
  std::string LongTime(const DateTime&) override { return std::string(); }
  void Sleep(unsigned) override {
    ++sleeps;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  int sleeps = 0;
};

// Fails the test instead of hanging when a wait does not end.
class BoundedPump final : public MessagePump {
 public:
  void ProcessMessages() override {
    if (++calls > 500) throw std::runtime_error("the wait did not end");
  }
  int calls = 0;
};

}  // namespace kavrin::fakes
