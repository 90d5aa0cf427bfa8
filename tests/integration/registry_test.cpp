#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/unique_resource.hpp"
#include "platform/win32/win32_registry.hpp"

namespace kavrin::win32 {
namespace {

// Each test works under a key of its own and removes it afterwards.
class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = "Software\\KavrinIntegrationTests";
    path_ = parent_ + "\\Registry" + std::to_string(GetCurrentProcessId());
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
  }
  void TearDown() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, parent_.c_str());  // only when empty
  }
  bool KeyExists() {
    UniqueHkey key;
    return RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
  }
  void PutRaw(const std::string& name, DWORD type, const void* data, DWORD size) {
    UniqueHkey key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(),
                              nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key.Get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
  }
  DWORD RawType(const std::string& name) {
    DWORD type = REG_NONE;
    RegGetValueA(HKEY_CURRENT_USER, path_.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, nullptr);
    return type;
  }

  std::string parent_;
  std::string path_;
  Win32Registry registry_;
};

TEST_F(RegistryTest, MissingKeyIsCreated) {
  ASSERT_FALSE(KeyExists());
  EXPECT_NE(registry_.OpenOrCreateCurrentUserKey(path_), nullptr);
  EXPECT_TRUE(KeyExists());
}

TEST_F(RegistryTest, ReadsPlainAndExpandableStringsUnexpanded) {
  const char plain[] = "C:\\Temp\\monoFL.WAV";
  const char expandable[] = "%SystemRoot%\\x.wav";
  PutRaw("Plain", REG_SZ, plain, sizeof plain);
  PutRaw("Expand", REG_EXPAND_SZ, expandable, sizeof expandable);
  PutRaw("Empty", REG_SZ, "", 1);
  const auto key = registry_.OpenOrCreateCurrentUserKey(path_);
  ASSERT_NE(key, nullptr);
  std::string value;
  EXPECT_EQ(key->QueryString("Plain", value), RegistryKey::QueryResult::String);
  EXPECT_EQ(value, plain);
  EXPECT_EQ(key->QueryString("expand", value), RegistryKey::QueryResult::String);
  EXPECT_EQ(value, expandable);
  EXPECT_EQ(key->QueryString("Empty", value), RegistryKey::QueryResult::String);
  EXPECT_EQ(value, "");
}

TEST_F(RegistryTest, LongValueIsReadWhole) {
  const std::string text(5000, 'v');
  PutRaw("Long", REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
  const auto key = registry_.OpenOrCreateCurrentUserKey(path_);
  std::string value;
  ASSERT_EQ(key->QueryString("Long", value), RegistryKey::QueryResult::String);
  EXPECT_EQ(value, text);
}

TEST_F(RegistryTest, OtherTypesAndMissingValuesAreToldApart) {
  const DWORD number = 7;
  PutRaw("Number", REG_DWORD, &number, sizeof number);
  const auto key = registry_.OpenOrCreateCurrentUserKey(path_);
  std::string value = "unchanged";
  EXPECT_EQ(key->QueryString("Number", value), RegistryKey::QueryResult::WrongType);
  EXPECT_EQ(key->QueryString("Nothing", value), RegistryKey::QueryResult::Missing);
  EXPECT_EQ(value, "unchanged");
}

TEST_F(RegistryTest, WritesPlainStringsAndDeletes) {
  const auto key = registry_.OpenOrCreateCurrentUserKey(path_);
  ASSERT_TRUE(key->SetString("WAVEFILE7", "D:\\CD\\DTS-Track-001.tmp"));
  EXPECT_EQ(RawType("WAVEFILE7"), static_cast<DWORD>(REG_SZ));
  char buffer[64] = {};
  DWORD size = sizeof buffer;
  ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, path_.c_str(), "WAVEFILE7", RRF_RT_REG_SZ, nullptr, buffer, &size),
            ERROR_SUCCESS);
  EXPECT_STREQ(buffer, "D:\\CD\\DTS-Track-001.tmp");
  EXPECT_EQ(size, sizeof "D:\\CD\\DTS-Track-001.tmp");  // stored with its terminator

  key->DeleteValue("WAVEFILE7");
  key->DeleteValue("WAVEFILE7");  // a missing value is no error
  std::string value;
  EXPECT_EQ(key->QueryString("WAVEFILE7", value), RegistryKey::QueryResult::Missing);
}

// Each value goes back with its type and every byte; an empty value stays an
// empty one.
TEST_F(RegistryTest, StringValuesRoundTripExactly) {
  const auto key = registry_.OpenOrCreateCurrentUserKey(path_);
  const StringValue values[] = {
      {true, std::string("%TEMP%\\x.wav") + '\0'},
      {false, std::string(254, 'x') + "\x95\x5c" + std::string(44, 'y') + '\0'},
      {false, std::string(1, '\0')},
  };
  for (const StringValue& value : values) {
    ASSERT_TRUE(key->SetStringValue("Value", value));
    StringValue read;
    ASSERT_EQ(key->QueryStringValue("Value", read), RegistryKey::QueryResult::String);
    EXPECT_EQ(read.Expandable, value.Expandable);
    EXPECT_EQ(read.Data, value.Data);
    EXPECT_EQ(RawType("Value"), static_cast<DWORD>(value.Expandable ? REG_EXPAND_SZ : REG_SZ));
  }
}

TEST_F(RegistryTest, TheCurrentUserIsNamedByItsId) {
  EXPECT_EQ(Win32Registry().CurrentUserId().rfind("S-1-5-", 0), 0u);
}

TEST_F(RegistryTest, LeadingBackslashMayBeRefused) {
  // Some registries refuse it, so the option key is given without one.
  const auto key = registry_.OpenOrCreateCurrentUserKey("\\" + path_);
  if (key != nullptr) GTEST_SKIP() << "this system accepts a leading backslash";
  EXPECT_FALSE(KeyExists());
}

}  // namespace
}  // namespace kavrin::win32
