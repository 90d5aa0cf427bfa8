#pragma once

#include "platform/clock.hpp"

namespace kavrin::win32 {

class Win32Clock final : public Clock {
 public:
  LocalTime Now() override;
  std::string ShortDate(const LocalTime& time) override;
  std::string LongTime(const LocalTime& time) override;
  void Sleep(unsigned milliseconds) override;
};

}  // namespace kavrin::win32
