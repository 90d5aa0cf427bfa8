#include "platform/win32/win32_registry.hpp"

#include <windows.h>
// After windows.h, which it needs.
#include <sddl.h>

#include <vector>

#include "platform/win32/unique_resource.hpp"

namespace kavrin::win32 {

namespace {

class Win32RegistryKey final : public RegistryKey {
 public:
  explicit Win32RegistryKey(UniqueHkey key) : key_(std::move(key)) {}

  QueryResult QueryStringValue(const std::string& name, StringValue& value) override {
    DWORD type = 0;
    DWORD size = 0;
    LONG status = RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type, nullptr, &size);
    if (status != ERROR_SUCCESS) return QueryResult::Missing;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return QueryResult::WrongType;
    // The value may grow between the two calls: ask again until it fits.
    std::vector<BYTE> buffer;
    do {
      buffer.resize(size + 1);
      size = static_cast<DWORD>(buffer.size());
      status = RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type, buffer.data(), &size);
    } while (status == ERROR_MORE_DATA);
    if (status != ERROR_SUCCESS) return QueryResult::Missing;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return QueryResult::WrongType;
    value.Expandable = type == REG_EXPAND_SZ;
    value.Data.assign(reinterpret_cast<const char*>(buffer.data()), size);
    return QueryResult::String;
  }

  bool SetStringValue(const std::string& name, const StringValue& value) override {
    return RegSetValueExA(key_.Get(), name.c_str(), 0, value.Expandable ? REG_EXPAND_SZ : REG_SZ,
                          reinterpret_cast<const BYTE*>(value.Data.data()),
                          static_cast<DWORD>(value.Data.size())) == ERROR_SUCCESS;
  }

  void DeleteValue(const std::string& name) override { RegDeleteValueA(key_.Get(), name.c_str()); }

 private:
  UniqueHkey key_;
};

}  // namespace

std::unique_ptr<RegistryKey> Win32Registry::OpenOrCreateCurrentUserKey(const std::string& path) {
  UniqueHkey key;
  const LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr);
  if (status != ERROR_SUCCESS) return nullptr;
  return std::make_unique<Win32RegistryKey>(std::move(key));
}

std::string Win32Registry::CurrentUserId() {
  UniqueHandle token;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive()) == FALSE) return std::string();
  DWORD size = 0;
  GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  if (size == 0 || GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size) == FALSE) {
    return std::string();
  }
  UniqueLocal<char> text;
  if (ConvertSidToStringSidA(reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid, text.Receive()) == FALSE) {
    return std::string();
  }
  return text.Get();
}

}  // namespace kavrin::win32
