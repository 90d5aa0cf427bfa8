#include "platform/win32/win32_profile.hpp"

#include <windows.h>

#include <vector>

#include "core/text.hpp"

namespace kavrin::win32 {

namespace {

// Above the room a write needs for its own bytes: the file system's clusters.
constexpr ULONGLONG kRoomMargin = 64ULL * 1024;

std::wstring Wide(const std::string& text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

// A file saved as UTF-16 or UTF-8 may hold a value that the code page shows
// only in part (a "?" for each character it lacks). Written back as read, it
// would be lost, so only this check reads the file through the wide calls.
bool StoredValueLosesCharacters(const std::string& file, const std::string& section, const std::string& key) {
  wchar_t value[2048];
  const DWORD length = GetPrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), L"\n", value,
                                                sizeof value / sizeof value[0], Wide(file).c_str());
  if (length == 1 && value[0] == L'\n') return false;
  BOOL lost = FALSE;
  return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, value, static_cast<int>(length), nullptr, 0, nullptr,
                             &lost) > 0 &&
         lost != FALSE;
}

// The profile functions rewrite the whole file in place; a disk that fills
// on the way leaves it cut short, every setting after the cut gone, while
// the write still reports success. So a write needs room for the whole file
// and its new line (twice over, for a UTF-16 file) first.
bool RoomToRewrite(const std::string& file, size_t added) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ULONGLONG size = 0;
  if (GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data) != FALSE) {
    size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  }
  // A share's name needs its trailing delimiter here.
  const std::string folder = WithTrailingDelimiter(ExtractFileDir(file));
  ULARGE_INTEGER available{};
  // Where the free space cannot be asked for, the write is not held back.
  if (GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr) == FALSE) return true;
  return available.QuadPart >= size + 2 * added + kRoomMargin;
}

}  // namespace

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
  // A value that reads as it is stays as it is: when the code page shows it
  // only in part, and when the disk has no room for the rewrite.
  const bool unchanged = ReadString(file, section, key, "\n") == value;
  if (unchanged && StoredValueLosesCharacters(file, section, key)) return true;
  if (!RoomToRewrite(file, section.size() + key.size() + value.size() + 8)) return unchanged;
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
