#pragma once

#include <memory>
#include <string>

#include "platform/registry.hpp"

namespace kavrin::win32 {

// HKEY_CURRENT_USER through the advapi32 A functions.
class Win32Registry final : public Registry {
 public:
  std::unique_ptr<RegistryKey> OpenOrCreateCurrentUserKey(const std::string& path) override;
  std::string CurrentUserId() override;
};

}  // namespace kavrin::win32
