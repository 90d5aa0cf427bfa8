#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.hpp"

namespace kavrin::fakes {

enum class FakeValueType { String, ExpandString, Dword };

// A string's text without its terminator; `Terminated` tells whether the
// stored bytes end in one.
struct FakeValue {
  FakeValueType Type = FakeValueType::String;
  std::string Data;
  bool Terminated = true;
};

// An in-memory HKEY_CURRENT_USER. Keys are created on open, as
// RegCreateKeyExA does; value names match regardless of ASCII case.
class FakeRegistry final : public Registry {
 public:
  std::unique_ptr<RegistryKey> OpenOrCreateCurrentUserKey(const std::string& path) override;
  std::string CurrentUserId() override { return userId; }

  bool KeyExists(const std::string& path) const { return keys.count(path) != 0; }
  const FakeValue* Value(const std::string& path, const std::string& name) const;
  void Put(const std::string& path, const std::string& name, const std::string& data,
           FakeValueType type = FakeValueType::String);

  std::map<std::string, std::map<std::string, FakeValue>> keys;

  std::string userId = "S-1-5-21-1-2-3-1001";
  bool failOpen = false;
  std::string failSetOf;  // a write of this value name is refused
  bool failEverySet = false;

  int opens = 0;
  std::vector<std::string> calls;  // "set NAME=VALUE", "delete NAME", "query NAME" in order
  std::vector<std::string>* journal = nullptr;
};

}  // namespace kavrin::fakes
