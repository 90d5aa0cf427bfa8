#pragma once

#include <string>

namespace kavrin {

struct LocalTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// Time as the batch sees it: the local time, its regional formats, and sleeping.
class Clock {
 public:
  virtual ~Clock() = default;

  virtual LocalTime Now() = 0;
  // The user's short date and long time formats (GetDateFormatA, GetTimeFormatA).
  virtual std::string ShortDate(const LocalTime& time) = 0;
  virtual std::string LongTime(const LocalTime& time) = 0;

  virtual void Sleep(unsigned milliseconds) = 0;
};

// The main window's "handle all pending messages" step.
class MessagePump {
 public:
  virtual ~MessagePump() = default;
  virtual void ProcessMessages() = 0;
};

}  // namespace kavrin
