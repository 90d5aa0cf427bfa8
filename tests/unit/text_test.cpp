#include <gtest/gtest.h>

#include "core/file_name_rules.hpp"
#include "core/text.hpp"
#include "fakes/fake_code_page.hpp"
#include "inputlist/vob_file.hpp"

namespace kavrin {
namespace {

TEST(Text, TrimRemovesControlCharactersAndBlanksAtBothEnds) {
  EXPECT_EQ(Trim(std::string("\t\r\n  a b \x01\x1f ")), "a b");
  EXPECT_EQ(Trim(std::string(" \0 x \0", 6)), "x");
  EXPECT_EQ(Trim("   "), "");
}

TEST(Text, TrailingDelimiterIsAddedOnce) {
  EXPECT_EQ(WithTrailingDelimiter("C:\\Temp"), "C:\\Temp\\");
  EXPECT_EQ(WithTrailingDelimiter("D:\\CD\\"), "D:\\CD\\");
  EXPECT_EQ(WithTrailingDelimiter(""), "\\");
}

TEST(Text, FileDirKeepsTheDelimiterOfARootOnly) {
  EXPECT_EQ(ExtractFileDir("C:\\Tools\\conv.exe"), "C:\\Tools");
  EXPECT_EQ(ExtractFileDir("C:\\kavrin.exe"), "C:\\");
  EXPECT_EQ(ExtractFileDir("\\kavrin.exe"), "\\");
  EXPECT_EQ(ExtractFileDir("kavrin.exe"), "");
}

// In code page 932, 0x95 0x5C is one character, and so is 0x83 0x5C: their
// second byte is no backslash.
TEST(Text, PathRulesStepOverTheTwoByteCharactersOfCodePage932) {
  const fakes::FakeCodePage932 codePage;
  const ScopedCodePage installed(codePage);
  const struct {
    const char* path;
    const char* withDelimiter;
    const char* dir;
    const char* name;
    const char* extension;
  } cases[] = {
      {"C:\\out\\\x95\x5C", "C:\\out\\\x95\x5C\\", "C:\\out", "\x95\x5C", ""},
      {"C:\\out\\\x95\x5C\\", "C:\\out\\\x95\x5C\\", "C:\\out\\\x95\x5C", "", ""},
      {"C:\\\x83\x5C\\a.vob", "C:\\\x83\x5C\\a.vob\\", "C:\\\x83\x5C", "a.vob", ".vob"},
      {"C:\\\x95\x5C.vob", "C:\\\x95\x5C.vob\\", "C:\\", "\x95\x5C.vob", ".vob"},
      {"C:\\a.\x95\x5Cvob", "C:\\a.\x95\x5Cvob\\", "C:\\", "a.\x95\x5Cvob", ".\x95\x5Cvob"},
      {"\x95\x5C\x95\x5C", "\x95\x5C\x95\x5C\\", "", "\x95\x5C\x95\x5C", ""},
      {"C:\\\x81\x81\\x", "C:\\\x81\x81\\x\\", "C:\\\x81\x81", "x", ""},
      {"C:\\\xB1\\", "C:\\\xB1\\", "C:\\\xB1", "", ""},             // a one-byte katakana
      {"C:\\out\\\x95", "C:\\out\\\x95\\", "C:\\out", "\x95", ""},  // a lead byte at the end stands alone
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(WithTrailingDelimiter(c.path), c.withDelimiter);
    EXPECT_EQ(ExtractFileDir(c.path), c.dir);
    EXPECT_EQ(ExtractFileName(c.path), c.name);
    EXPECT_EQ(FileExtension(c.path), c.extension);
  }
  EXPECT_EQ(WithoutTrailingDelimiter("C:\\out\\\x95\x5C"), "C:\\out\\\x95\x5C");
  EXPECT_EQ(WithoutTrailingDelimiter("C:\\out\\\x95\x5C\\"), "C:\\out\\\x95\x5C");
  // 0x83 0x7C and 0x81 0x5B hold "|" and "[" as trail bytes.
  EXPECT_TRUE(IsValidFileName("C:\\\x83\x7C\x81\x5B.exe"));
  EXPECT_FALSE(IsValidFileName("C:\\\x83\x7C|.exe"));
}

TEST(Text, UpperAsciiLeavesOtherBytesAlone) { EXPECT_EQ(UpperAscii("dts encoder \xe9"), "DTS ENCODER \xe9"); }

TEST(Text, ZeroPadToWidthButNeverCuts) {
  EXPECT_EQ(ZeroPad(7, 3), "007");
  EXPECT_EQ(ZeroPad(1000, 3), "1000");
  EXPECT_EQ(ZeroPad(3, 2), "03");
}

}  // namespace
}  // namespace kavrin
