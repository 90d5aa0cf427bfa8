#pragma once

#include <string>

#include "core/date_time.hpp"

namespace kavrin {

// Time as the batch sees it: the local time, its regional formats, and sleeping.
class Clock {
 public:
  virtual ~Clock() = default;

  virtual DateTime Now() = 0;
  // The user's short date and long time formats (GetDateFormatA, GetTimeFormatA).
  virtual std::string ShortDate(const DateTime& time) = 0;
  virtual std::string LongTime(const DateTime& time) = 0;

  virtual void Sleep(unsigned milliseconds) = 0;
};

}  // namespace kavrin
