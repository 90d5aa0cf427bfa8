#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/win32_shutdown.hpp"

namespace kavrin::win32 {
namespace {

// RequestShutdown is never called here: it would end every process of the session.

TEST(ShutdownApi, VersionQueryReportsTheNtFamily) {
  Win32ShutdownApi api;
  std::uint32_t platformId = 0;
  ASSERT_TRUE(api.QueryPlatformId(platformId));
  EXPECT_EQ(platformId, static_cast<std::uint32_t>(VER_PLATFORM_WIN32_NT));
}

TEST(ShutdownApi, TokenOpensWithAdjustAndQueryAndThePrivilegeCanBeAsked) {
  Win32ShutdownApi api;
  ASSERT_TRUE(api.OpenProcessToken(TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY));
  api.EnablePrivilege("SeShutdownPrivilege", SE_PRIVILEGE_ENABLED);
  // An unknown privilege must not disturb anything either.
  api.EnablePrivilege("NoSuchPrivilege", SE_PRIVILEGE_ENABLED);
}

TEST(ShutdownApi, EndProgramGoesThroughTheGivenExit) {
  std::vector<int> codes;
  Win32ShutdownApi api([&](int code) { codes.push_back(code); });
  api.EndProgram(0);
  EXPECT_EQ(codes, std::vector<int>{0});
}

}  // namespace
}  // namespace kavrin::win32
