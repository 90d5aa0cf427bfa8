#pragma once

#include <memory>
#include <string>
#include <utility>

namespace kavrin {

// A string value as stored: its type and its data to the last byte, the
// terminator included when it has one, so that it can be written back as
// it was. An empty value is not a missing one.
struct StringValue {
  bool Expandable = false;  // REG_EXPAND_SZ rather than REG_SZ
  std::string Data;
};

// One open registry key.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;

  enum class QueryResult { Missing, String, WrongType };

  // A plain or expandable string, unexpanded.
  virtual QueryResult QueryStringValue(const std::string& name, StringValue& value) = 0;
  // Exactly the type and the bytes given. False when the registry refuses.
  virtual bool SetStringValue(const std::string& name, const StringValue& value) = 0;

  // The text of a plain or expandable string, without its terminator.
  QueryResult QueryString(const std::string& name, std::string& value) {
    StringValue stored;
    const QueryResult result = QueryStringValue(name, stored);
    if (result != QueryResult::String) return result;
    if (!stored.Data.empty() && stored.Data.back() == '\0') stored.Data.pop_back();
    value = std::move(stored.Data);
    return result;
  }

  // Written as REG_SZ with its terminator. False when the registry refuses.
  bool SetString(const std::string& name, const std::string& value) {
    return SetStringValue(name, StringValue{false, value + '\0'});
  }

  // A missing value is no error.
  virtual void DeleteValue(const std::string& name) = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;

  // Opens a key under HKEY_CURRENT_USER with full access, creating it when it
  // is missing. The path has no leading backslash. Null when that fails.
  virtual std::unique_ptr<RegistryKey> OpenOrCreateCurrentUserKey(const std::string& path) = 0;

  // Whose HKEY_CURRENT_USER this is: the user's security identifier as text
  // ("S-1-5-21-..."), empty when it cannot be read.
  virtual std::string CurrentUserId() = 0;
};

}  // namespace kavrin
