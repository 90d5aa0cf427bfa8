#include "fakes/fake_shutdown_api.hpp"

namespace kavrin::fakes {

bool FakeShutdownApi::QueryPlatformId(std::uint32_t& id) {
  calls.push_back("QueryPlatformId");
  if (failVersionQuery) return false;
  id = platformId;
  return true;
}

bool FakeShutdownApi::OpenProcessToken(std::uint32_t desiredAccess) {
  calls.push_back("OpenProcessToken " + std::to_string(desiredAccess));
  return !failOpenToken;
}

void FakeShutdownApi::EnablePrivilege(const std::string& privilege, std::uint32_t attributes) {
  calls.push_back("EnablePrivilege " + privilege + " " + std::to_string(attributes));
}

void FakeShutdownApi::RequestShutdown(std::uint32_t flags) {
  calls.push_back("RequestShutdown " + std::to_string(flags));
}

}  // namespace kavrin::fakes
