#include <gtest/gtest.h>

#include "platform/text.hpp"

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

TEST(Text, UpperAsciiLeavesOtherBytesAlone) { EXPECT_EQ(UpperAscii("dts encoder \xe9"), "DTS ENCODER \xe9"); }

TEST(Text, ZeroPadToWidthButNeverCuts) {
  EXPECT_EQ(ZeroPad(7, 3), "007");
  EXPECT_EQ(ZeroPad(1000, 3), "1000");
  EXPECT_EQ(ZeroPad(3, 2), "03");
}

}  // namespace
}  // namespace kavrin
