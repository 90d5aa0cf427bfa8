#include "backends/transcoder/report.hpp"

#include <windows.h>

#include <cstdio>

#include "kavrin_version.h"
#include "platform/win32/unique_resource.hpp"

namespace kavrin::transcoder {

void Report::Write(const std::optional<std::string>& logFile) const {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                now.wMinute, now.wSecond);
  std::string whole = "Kavrin transcoder " KAVRIN_VERSION_TEXT ", " + std::string(stamp) + "\r\n" + text_;
  std::fputs(whole.c_str(), stderr);
  if (!logFile) return;
  // Appends only: the file is opened for appending, never rewritten.
  win32::UniqueHandle log(CreateFileA(logFile->c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (!log || !WriteFile(log.Get(), whole.data(), static_cast<DWORD>(whole.size()), &written, nullptr))
    std::fprintf(stderr, "The log file %s could not be written.\n", logFile->c_str());
}

CompressionOptions OptionsOf(Compression compression) {
  switch (compression) {
    case Compression::Light:
      return {"light", "0.5", false};
    case Compression::Normal:
      return {"normal", "1", false};
    case Compression::Heavy:
      return {"heavy", "1", true};
    case Compression::None:
      break;
  }
  return {"none", "0", false};
}

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

}  // namespace kavrin::transcoder
