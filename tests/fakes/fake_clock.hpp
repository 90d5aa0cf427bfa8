#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/clock.hpp"
#include "platform/message_pump.hpp"

namespace kavrin::fakes {

// A clock whose time stands still unless a test moves it, with
// "dd.mm.yyyy" dates and "hh:mm:ss" times, and sleeps that only count.
class FakeClock final : public Clock {
 public:
  DateTime Now() override { return now; }
  std::string ShortDate(const DateTime& time) override;
  std::string LongTime(const DateTime& time) override;
  void Sleep(unsigned milliseconds) override;

  DateTime now{2026, 12, 7, 21, 54, 57};
  std::vector<unsigned> sleeps;
  unsigned long long sleptMilliseconds = 0;
  // Runs after each sleep, e.g. to let a fake child end meanwhile.
  std::function<void()> onSleep;
  std::vector<std::string>* journal = nullptr;
};

class FakeMessagePump final : public MessagePump {
 public:
  void ProcessMessages() override;

  int calls = 0;
  std::function<void()> onProcess;  // a handler that runs inside the wait
  std::vector<std::string>* journal = nullptr;
};

}  // namespace kavrin::fakes
