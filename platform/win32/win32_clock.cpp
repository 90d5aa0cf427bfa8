#include "platform/win32/win32_clock.hpp"

#include <windows.h>

#include <vector>

namespace kavrin::win32 {

namespace {

SYSTEMTIME ToSystemTime(const DateTime& time) {
  SYSTEMTIME system;
  ZeroMemory(&system, sizeof system);
  system.wYear = static_cast<WORD>(time.year);
  system.wMonth = static_cast<WORD>(time.month);
  system.wDay = static_cast<WORD>(time.day);
  system.wHour = static_cast<WORD>(time.hour);
  system.wMinute = static_cast<WORD>(time.minute);
  system.wSecond = static_cast<WORD>(time.second);
  return system;
}

// Both format calls report the size they need, terminator included.
template <typename Format>
std::string Formatted(Format format) {
  const int needed = format(nullptr, 0);
  if (needed <= 0) return std::string();
  std::vector<char> buffer(static_cast<size_t>(needed));
  const int length = format(buffer.data(), needed);
  if (length <= 0) return std::string();
  return std::string(buffer.data(), static_cast<size_t>(length - 1));
}

}  // namespace

DateTime Win32Clock::Now() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return DateTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::string Win32Clock::ShortDate(const DateTime& time) {
  const SYSTEMTIME system = ToSystemTime(time);
  return Formatted([&](char* buffer, int size) {
    return GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &system, nullptr, buffer, size);
  });
}

std::string Win32Clock::LongTime(const DateTime& time) {
  const SYSTEMTIME system = ToSystemTime(time);
  return Formatted(
      [&](char* buffer, int size) { return GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &system, nullptr, buffer, size); });
}

void Win32Clock::Sleep(unsigned milliseconds) { ::Sleep(milliseconds); }

}  // namespace kavrin::win32
