#include "platform/win32/win32_shutdown.hpp"

#include <windows.h>

namespace kavrin::win32 {

static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record is the full 148-byte OSVERSIONINFOA");

bool Win32ShutdownApi::QueryPlatformId(std::uint32_t& platformId) {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  // Newer SDKs mark the call deprecated; only its platform id is wanted here.
#if defined(_MSC_VER)
#pragma warning(push)
#pragma warning(disable : 4996)
#elif defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
  const BOOL ok = GetVersionExA(&info);
#if defined(_MSC_VER)
#pragma warning(pop)
#elif defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
  if (!ok) return false;
  platformId = info.dwPlatformId;
  return true;
}

bool Win32ShutdownApi::OpenProcessToken(std::uint32_t desiredAccess) {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(GetCurrentProcess(), desiredAccess, &token)) return false;
  token_.Reset(token);
  return true;
}

void Win32ShutdownApi::EnablePrivilege(const std::string& privilege, std::uint32_t attributes) {
  if (!token_) return;
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = attributes;
  // A failed lookup leaves the identifier zero and the adjustment fails
  // harmlessly; neither result decides anything.
  LookupPrivilegeValueA(nullptr, privilege.c_str(), &privileges.Privileges[0].Luid);
  DWORD returnedLength = 0;
  AdjustTokenPrivileges(token_.Get(), FALSE, &privileges, 0, nullptr, &returnedLength);
}

void Win32ShutdownApi::RequestShutdown(std::uint32_t flags) { ExitWindowsEx(flags, 0); }

}  // namespace kavrin::win32
