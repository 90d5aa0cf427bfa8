#pragma once

namespace kavrin {

// A calendar date and a time of day to the second. The clock gives local
// time, the file system UTC; which one a value holds is its source's.
struct DateTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

}  // namespace kavrin
