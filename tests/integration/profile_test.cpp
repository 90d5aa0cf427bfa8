#include <windows.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "platform/win32/win32_profile.hpp"

namespace kavrin::win32 {
namespace {

// Each test gets a fresh INI file in the temporary folder.
class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    char name[MAX_PATH];
    GetTempFileNameA(folder, "kvp", 0, name);
    path_ = name;
    DeleteFileA(path_.c_str());
  }
  void TearDown() override {
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path_.c_str());
  }
  void WriteFile(const std::string& text) {
    std::ofstream out(path_, std::ios::binary);
    out << text;
  }
  std::string ReadFile() {
    std::ifstream in(path_, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::string path_;
  Win32ProfileStore profile_;
};

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesTheDefault) {
  EXPECT_EQ(profile_.ReadString(path_, "Azid", "Options", "-c normal"), "-c normal");
  WriteFile("[Azid]\r\nOther=1\r\n");
  EXPECT_EQ(profile_.ReadString(path_, "Azid", "Options", "-c normal"), "-c normal");
  EXPECT_EQ(profile_.ReadString(path_, "SSRC", "Options", "--rate 44100"), "--rate 44100");
}

TEST_F(ProfileTest, PresentEmptyValueIsEmptyNotTheDefault) {
  WriteFile("[Azid]\r\nOptions=\r\n");
  EXPECT_EQ(profile_.ReadString(path_, "Azid", "Options", "-c normal"), "");
}

TEST_F(ProfileTest, NamesMatchRegardlessOfCase) {
  WriteFile("[settings]\r\nuse log=1\r\n");
  EXPECT_EQ(profile_.ReadString(path_, "SETTINGS", "Use Log", ""), "1");
}

TEST_F(ProfileTest, BlanksAndOnePairOfEnclosingQuotesAreDropped) {
  WriteFile("[LOG]\r\nFilename=  \"C:\\My Logs\\a.log\"  \r\nOther='x'\r\nInner=a \"b\" c\r\n");
  EXPECT_EQ(profile_.ReadString(path_, "LOG", "Filename", ""), "C:\\My Logs\\a.log");
  EXPECT_EQ(profile_.ReadString(path_, "LOG", "Other", ""), "x");
  EXPECT_EQ(profile_.ReadString(path_, "LOG", "Inner", ""), "a \"b\" c");
}

TEST_F(ProfileTest, LongValuesAreCutAt2047Characters) {
  const std::string value(3000, 'v');
  WriteFile("[OTA]\r\nOptions=" + value + "\r\n");
  EXPECT_EQ(profile_.ReadString(path_, "OTA", "Options", ""), value.substr(0, 2047));
}

TEST_F(ProfileTest, WriteUpdatesInPlaceAndLeavesForeignLinesAlone) {
  WriteFile("; a comment\r\n[EXE]\r\nBeSweet=old\r\nForeign=keep\r\n[Mine]\r\nx=1\r\n");
  ASSERT_TRUE(profile_.WriteString(path_, "exe", "besweet", "new"));
  const std::string text = ReadFile();
  EXPECT_NE(text.find("; a comment"), std::string::npos);
  EXPECT_NE(text.find("Foreign=keep"), std::string::npos);
  EXPECT_NE(text.find("[Mine]\r\nx=1"), std::string::npos);
  EXPECT_EQ(text.find("old"), std::string::npos);
  EXPECT_LT(text.find("=new"), text.find("Foreign=keep"));
}

TEST_F(ProfileTest, NewFileHoldsSectionsInWriteOrder) {
  ASSERT_TRUE(profile_.WriteString(path_, "EXE", "BeSweet", "a"));
  ASSERT_TRUE(profile_.WriteString(path_, "EXE", "SurCode", "b"));
  ASSERT_TRUE(profile_.WriteString(path_, "FOLDERS", "BeSweet", "c"));
  const std::string text = ReadFile();
  EXPECT_LT(text.find("[EXE]"), text.find("BeSweet=a"));
  EXPECT_LT(text.find("BeSweet=a"), text.find("SurCode=b"));
  EXPECT_LT(text.find("SurCode=b"), text.find("[FOLDERS]"));
  EXPECT_LT(text.find("[FOLDERS]"), text.find("BeSweet=c"));
}

// Saved as UTF-16, the file may name a folder the code page shows as "??":
// written back unchanged, it must keep its own characters.
TEST_F(ProfileTest, AValueTheCodePageCannotShowSurvivesAnUnchangedWrite) {
  const std::string utf16("\xFF\xFE[\0A\0]\0\r\0\n\0x\0=\0\x1B\x6C\r\0\n\0", 20);
  WriteFile(utf16);
  const std::string shown = profile_.ReadString(path_, "A", "x", "");
  ASSERT_EQ(shown.size(), 1u);
  ASSERT_TRUE(profile_.WriteString(path_, "A", "x", shown));
  EXPECT_EQ(ReadFile(), utf16);
  ASSERT_TRUE(profile_.WriteString(path_, "A", "x", "new"));
  EXPECT_EQ(profile_.ReadString(path_, "A", "x", ""), "new");
}

TEST_F(ProfileTest, ReadOnlyFileRefusesTheWrite) {
  WriteFile("[EXE]\r\nBeSweet=old\r\n");
  SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(profile_.WriteString(path_, "EXE", "BeSweet", "new"));
}

}  // namespace
}  // namespace kavrin::win32
