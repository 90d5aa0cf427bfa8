#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_shutdown_api.hpp"
#include "platform/shutdown.hpp"

namespace kavrin {
namespace {

using Calls = std::vector<std::string>;

TEST(ShutdownComputer, EachPathMakesExactlyTheseCalls) {
  const struct {
    const char* name;
    std::uint32_t platformId;
    bool failQuery;
    bool failToken;
    bool ends;
    Calls calls;
  } cases[] = {
      {"old family", 1, false, false, true, {"QueryPlatformId", "RequestShutdown 5"}},
      {"unknown platform 0", 0, false, false, true, {"QueryPlatformId", "RequestShutdown 5"}},
      {"unknown platform 3", 3, false, false, true, {"QueryPlatformId", "RequestShutdown 5"}},
      {"NT family",
       2,
       false,
       false,
       true,
       {"QueryPlatformId", "OpenProcessToken 40", "EnablePrivilege SeShutdownPrivilege 2", "RequestShutdown 12"}},
      {"token refused", 2, false, true, true, {"QueryPlatformId", "OpenProcessToken 40"}},
      {"version query fails", 2, true, false, false, {"QueryPlatformId"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fakes::FakeShutdownApi api;
    api.platformId = c.platformId;
    api.failVersionQuery = c.failQuery;
    api.failOpenToken = c.failToken;
    EXPECT_EQ(ShutdownComputer(api), c.ends);
    EXPECT_EQ(api.calls, c.calls);
  }
}

}  // namespace
}  // namespace kavrin
