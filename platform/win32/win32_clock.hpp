#pragma once

#include "platform/clock.hpp"

namespace kavrin::win32 {

class Win32Clock final : public Clock {
 public:
  DateTime Now() override;
  std::string ShortDate(const DateTime& time) override;
  std::string LongTime(const DateTime& time) override;
  void Sleep(unsigned milliseconds) override;
};

}  // namespace kavrin::win32
