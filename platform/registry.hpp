#pragma once

#include <memory>
#include <string>

namespace kavrin {

// One open registry key.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;

  enum class QueryResult { Missing, String, WrongType };

  // A plain or expandable string comes back as its text, unexpanded.
  virtual QueryResult QueryString(const std::string& name, std::string& value) = 0;

  // Written as REG_SZ. False when the registry refuses the write.
  virtual bool SetString(const std::string& name, const std::string& value) = 0;

  // A missing value is no error.
  virtual void DeleteValue(const std::string& name) = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;

  // Opens a key under HKEY_CURRENT_USER with full access, creating it when it
  // is missing. The path has no leading backslash. Null when that fails.
  virtual std::unique_ptr<RegistryKey> OpenOrCreateCurrentUserKey(const std::string& path) = 0;
};

}  // namespace kavrin
