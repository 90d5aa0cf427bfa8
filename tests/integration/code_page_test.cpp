#include <windows.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "batch/batch_run.hpp"
#include "batch/besweet_command_line.hpp"
#include "core/code_page.hpp"
#include "core/text.hpp"
#include "platform/win32/unique_resource.hpp"
#include "platform/win32/win32_code_page.hpp"
#include "platform/win32/win32_file_lookup.hpp"

namespace kavrin::win32 {
namespace {

// Every integration test reads paths in the system's ANSI code page, as kavrin.exe does.
class AnsiCodePage final : public ::testing::Environment {
 public:
  void SetUp() override { installed_.emplace(codePage_); }
  void TearDown() override { installed_.reset(); }

 private:
  Win32CodePage codePage_;
  std::optional<ScopedCodePage> installed_;
};
::testing::Environment* const kAnsiCodePage = ::testing::AddGlobalTestEnvironment(new AnsiCodePage);

// Runs only in its own ctest entry, under the Japanese locale that gives Wine code page 932.
TEST(CodePage932, TracksAreCountedAndNamedInAFolderEndingInATrailBackslash) {
  ASSERT_EQ(GetACP(), 932u) << "needs LC_ALL=ja_JP.UTF-8 with LOCPATH at the locale generated into the build";
  const Win32CodePage codePage;
  for (unsigned byte : {0x81u, 0x95u, 0x9Fu, 0xE0u, 0xFCu}) EXPECT_TRUE(codePage.IsLeadByte(byte)) << byte;
  for (unsigned byte : {0x5Cu, 0x41u, 0x80u, 0xA0u, 0xB1u, 0xDFu, 0xFDu})
    EXPECT_FALSE(codePage.IsLeadByte(byte)) << byte;

  // A folder named U+8868, which code page 932 writes 0x95 0x5C; the track in
  // it is made through the wide calls, which no delimiter rule touches.
  wchar_t temp[MAX_PATH + 1];
  ASSERT_NE(GetTempPathW(MAX_PATH + 1, temp), 0u);
  const std::wstring wideFolder = std::wstring(temp) + L"kv932-" + std::to_wstring(GetCurrentProcessId()) + L"\\\u8868";
  ASSERT_TRUE(CreateDirectoryW(wideFolder.substr(0, wideFolder.rfind(L'\\')).c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(wideFolder.c_str(), nullptr));
  const std::wstring firstTrack = wideFolder + L"\\CDDA-Track-001.wav";
  {
    const UniqueHandle file(CreateFileW(firstTrack.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(file);
  }

  char narrow[MAX_PATH * 2];
  ASSERT_NE(WideCharToMultiByte(CP_ACP, 0, wideFolder.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr), 0);
  const std::string folder = narrow;
  ASSERT_EQ(folder.substr(folder.size() - 3), "\\\x95\x5C");

  EXPECT_EQ(WithTrailingDelimiter(folder), folder + "\\");
  EXPECT_EQ(ExtractFileName(folder), "\x95\x5C");
  Win32FileLookup lookup;
  EXPECT_EQ(FindFreeOutputNumber(lookup, folder, "CDDA-Track"), 2);
  EXPECT_EQ(OutputFileName(folder, "CDDA-Track", 2), folder + "\\CDDA-Track-002.wav");

  DeleteFileW(firstTrack.c_str());
  RemoveDirectoryW(wideFolder.c_str());
  RemoveDirectoryW(wideFolder.substr(0, wideFolder.rfind(L'\\')).c_str());
}

}  // namespace
}  // namespace kavrin::win32
