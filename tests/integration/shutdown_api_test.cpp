#include <windows.h>
#include <gtest/gtest.h>

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

// The program's end is not the API's: ShutdownComputer answers that the
// program must end, and the window ends it through its ordinary exit.
template <typename Api>
constexpr bool kEndsTheProgramItself = requires(Api& api) {
  api.EndProgram(0);
};

TEST(ShutdownApi, EndProgramGoesThroughTheGivenExit) { EXPECT_FALSE(kEndsTheProgramItself<Win32ShutdownApi>); }

}  // namespace
}  // namespace kavrin::win32
