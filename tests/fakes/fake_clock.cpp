#include "fakes/fake_clock.hpp"

#include "core/text.hpp"

namespace kavrin::fakes {

std::string FakeClock::ShortDate(const DateTime& time) {
  return ZeroPad(time.day, 2) + "." + ZeroPad(time.month, 2) + "." + ZeroPad(time.year, 4);
}

std::string FakeClock::LongTime(const DateTime& time) {
  return ZeroPad(time.hour, 2) + ":" + ZeroPad(time.minute, 2) + ":" + ZeroPad(time.second, 2);
}

void FakeClock::Sleep(unsigned milliseconds) {
  sleeps.push_back(milliseconds);
  sleptMilliseconds += milliseconds;
  if (journal != nullptr) journal->push_back("Sleep " + std::to_string(milliseconds));
  if (onSleep) onSleep();
}

void FakeMessagePump::ProcessMessages() {
  ++calls;
  if (journal != nullptr) journal->push_back("ProcessMessages");
  if (onProcess) onProcess();
}

}  // namespace kavrin::fakes
