#include "platform/win32/win32_text_services.hpp"

#include <windows.h>

#include <climits>

#include "core/text.hpp"
#include "platform/win32/unique_resource.hpp"

namespace kavrin::win32 {

int Win32Collation::CompareIgnoreCase(const std::string& a, const std::string& b) {
  // Explicit lengths: a path holds no terminator, and the whole text counts.
  if (a.size() <= INT_MAX && b.size() <= INT_MAX) {
    const int result = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                                      b.data(), static_cast<int>(b.size()));
    if (result != 0) return result - CSTR_EQUAL;
  }
  // Only invalid arguments fail; keep the order total all the same.
  return UpperAscii(a).compare(UpperAscii(b));
}

std::string Win32ErrorTexts::SystemErrorText(std::uint32_t code) {
  // The text is allocated by the call itself, at the size it needs.
  UniqueLocal<char> buffer;
  const DWORD length =
      FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<char*>(buffer.Receive()), 0, nullptr);
  if (length == 0 || !buffer) return std::string();
  std::string text(buffer.Get(), length);
  // The system ends its texts with CR LF.
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
  return text;
}

}  // namespace kavrin::win32
