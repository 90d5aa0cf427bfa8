#include "platform/win32/win32_profile.hpp"

#include <windows.h>

#include <vector>

namespace kavrin::win32 {

std::string Win32ProfileStore::ReadString(const std::string& file, const std::string& section, const std::string& key,
                                          const std::string& defaultValue) {
  // 2047 characters and the terminator: longer values are cut there.
  char buffer[2048];
  const DWORD length =
      GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer, sizeof buffer, file.c_str());
  return std::string(buffer, length);
}

bool Win32ProfileStore::WriteString(const std::string& file, const std::string& section, const std::string& key,
                                    const std::string& value) {
  // Windows refuses to write a read-only file; Wine running as root writes it
  // all the same, so the attribute is checked here.
  const DWORD attributes = GetFileAttributesA(file.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return false;
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != FALSE;
}

std::string Win32ProgramLocation::ExecutablePath() {
  // Grow the buffer until the path fits: GetModuleFileNameA truncates silently.
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace kavrin::win32
