#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/clock.hpp"

namespace kavrin::fakes {

// Virtual time: Sleep only moves the clock on. Dates read "dd.mm.yyyy" and
// times "hh:mm:ss".
class FakeEncoderClock final : public Clock {
 public:
  LocalTime Now() override { return now; }
  std::string ShortDate(const LocalTime& time) override;
  std::string LongTime(const LocalTime& time) override;
  void Sleep(unsigned milliseconds) override;

  LocalTime now{2026, 12, 7, 21, 54, 57};
  unsigned long long elapsedMs = 0;
  std::vector<unsigned> sleeps;
  std::function<void()> onSleep;
  std::vector<std::string>* journal = nullptr;
};

class FakeEncoderPump final : public MessagePump {
 public:
  void ProcessMessages() override;

  int calls = 0;
  std::function<void()> onProcess;
  std::vector<std::string>* journal = nullptr;
};

}  // namespace kavrin::fakes
