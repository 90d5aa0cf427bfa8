#include "platform/win32/win32_file_lookup.hpp"

#include <windows.h>

#include "core/text.hpp"
#include "platform/win32/unique_resource.hpp"

namespace kavrin::win32 {

namespace {

// No "insert a disk" boxes while a lookup touches an empty drive; the
// process's previous mode comes back on every path.
class CriticalErrorBoxesOff {
 public:
  CriticalErrorBoxesOff() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
  ~CriticalErrorBoxesOff() { SetErrorMode(previous_); }
  CriticalErrorBoxesOff(const CriticalErrorBoxesOff&) = delete;
  CriticalErrorBoxesOff& operator=(const CriticalErrorBoxesOff&) = delete;

 private:
  UINT previous_;
};

// A search for exactly one name: wildcards in the last part would match
// other entries, and no file can be named with them.
bool FindOne(const std::string& path, WIN32_FIND_DATAA& data, DWORD& errorCode) {
  if (ExtractFileName(path).find_first_of("*?") != std::string::npos) {
    errorCode = ERROR_INVALID_NAME;
    return false;
  }
  CriticalErrorBoxesOff noBoxes;
  const UniqueFind found(FindFirstFileA(path.c_str(), &data));
  if (!found) {
    errorCode = GetLastError();
    return false;
  }
  return true;
}

}  // namespace

FileLookup::Presence Win32FileLookup::Look(const std::string& path) {
  WIN32_FIND_DATAA data;
  DWORD errorCode = 0;
  if (FindOne(path, data, errorCode)) return Presence::Present;
  if (errorCode == ERROR_FILE_NOT_FOUND || errorCode == ERROR_PATH_NOT_FOUND || errorCode == ERROR_NO_MORE_FILES) {
    return Presence::Absent;
  }
  return Presence::Unknown;
}

bool Win32FileLookup::LastWriteTimeUtc(const std::string& path, DateTime& time, std::uint32_t& errorCode) {
  WIN32_FIND_DATAA data;
  DWORD code = 0;
  if (!FindOne(path, data, code)) {
    errorCode = code;
    return false;
  }
  // The file system's own UTC time, deliberately not turned into local time.
  SYSTEMTIME utc;
  if (!FileTimeToSystemTime(&data.ftLastWriteTime, &utc)) {
    errorCode = GetLastError();
    return false;
  }
  time = DateTime{utc.wYear, utc.wMonth, utc.wDay, utc.wHour, utc.wMinute, utc.wSecond};
  return true;
}

}  // namespace kavrin::win32
