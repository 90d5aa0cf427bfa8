#include "fakes/fake_encoder_clock.hpp"

#include "platform/text.hpp"

namespace kavrin::fakes {

std::string FakeEncoderClock::ShortDate(const LocalTime& time) {
  return ZeroPad(time.day, 2) + "." + ZeroPad(time.month, 2) + "." + ZeroPad(time.year, 4);
}

std::string FakeEncoderClock::LongTime(const LocalTime& time) {
  return ZeroPad(time.hour, 2) + ":" + ZeroPad(time.minute, 2) + ":" + ZeroPad(time.second, 2);
}

void FakeEncoderClock::Sleep(unsigned milliseconds) {
  sleeps.push_back(milliseconds);
  elapsedMs += milliseconds;
  if (journal) journal->push_back("sleep " + std::to_string(milliseconds));
  if (onSleep) onSleep();
}

void FakeEncoderPump::ProcessMessages() {
  ++calls;
  if (journal) journal->push_back("pump");
  if (onProcess) onProcess();
}

}  // namespace kavrin::fakes
