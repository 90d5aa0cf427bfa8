#include "core/error.hpp"

namespace kavrin {

std::string FormatMessageText(const std::string& pattern, const std::string& value) {
  const size_t at = pattern.find("%s");
  if (at == std::string::npos) return pattern;
  std::string text;
  text.reserve(pattern.size() + value.size());
  text.append(pattern, 0, at).append(value).append(pattern, at + 2, std::string::npos);
  return text;
}

std::string SystemErrorMessage(std::uint32_t code, ErrorTexts& errors) {
  if (code == 0) return "A Win32 API function failed";
  // Printed as a signed number, as "%d" shows it. CR LF breaks the line in a
  // message box and survives its Ctrl+C copy.
  return "Win32 Error.  Code: " + std::to_string(static_cast<std::int32_t>(code)) + ".\r\n" +
         errors.SystemErrorText(code);
}

}  // namespace kavrin
