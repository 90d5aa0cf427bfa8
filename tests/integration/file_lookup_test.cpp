#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/error.hpp"
#include "inputlist/input_list.hpp"
#include "platform/win32/unique_resource.hpp"
#include "platform/win32/win32_file_lookup.hpp"
#include "platform/win32/win32_text_services.hpp"

namespace kavrin::win32 {
namespace {

// Each test works in a fresh folder under the temporary folder.
class FileLookupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH + 1];
    ASSERT_NE(GetTempPathA(sizeof temp, temp), 0u);
    char name[MAX_PATH + 1];
    ASSERT_NE(GetTempFileNameA(temp, "kvl", 0, name), 0u);
    folder_ = name;
    DeleteFileA(folder_.c_str());
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
    folder_ += '\\';
  }
  void TearDown() override {
    for (const std::string& path : made_) {
      DeleteFileA(path.c_str());
      RemoveDirectoryA(path.c_str());
    }
    RemoveDirectoryA(folder_.c_str());
  }

  // A file last written at the given UTC time.
  std::string MakeFile(const std::string& name, SYSTEMTIME utc) {
    const std::string path = folder_ + name;
    const UniqueHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_TRUE(file);
    FILETIME time;
    EXPECT_TRUE(SystemTimeToFileTime(&utc, &time));
    EXPECT_TRUE(SetFileTime(file.Get(), nullptr, nullptr, &time));
    made_.insert(made_.begin(), path);
    return path;
  }

  std::string MakeFolder(const std::string& name) {
    const std::string path = folder_ + name;
    EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
    made_.insert(made_.begin(), path);
    return path;
  }

  static SYSTEMTIME At(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second, WORD ms = 0) {
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    time.wMilliseconds = ms;
    return time;
  }

  std::string folder_;
  std::vector<std::string> made_;
  Win32FileLookup files_;
  Win32Collation collation_;
  Win32ErrorTexts errors_;
};

TEST_F(FileLookupTest, SortKeyComesFromTheUtcLastWriteTime) {
  const struct {
    SYSTEMTIME utc;
    const char* digits;
  } cases[] = {
      {At(2004, 3, 7, 9, 5, 1), "20040307090501"},
      {At(1999, 12, 31, 23, 59, 59, 999), "19991231235959"},  // milliseconds are cut, not rounded
      {At(2021, 1, 2, 0, 0, 0), "20210102000000"},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.digits);
    const std::string path = MakeFile("f" + std::to_string(n++) + ".vob", c.utc);
    DateTime time;
    std::uint32_t code = 99;
    ASSERT_TRUE(files_.LastWriteTimeUtc(path, time, code));
    EXPECT_EQ(SortKey(time, path), c.digits + path);
  }
}

TEST_F(FileLookupTest, SortOrdersRealFilesByTimeThenPathIgnoringCase) {
  const std::string newer = MakeFile("c.vob", At(2004, 3, 7, 10, 0, 0));
  const std::string b = MakeFile("b.vob", At(2004, 3, 7, 9, 0, 0));
  const std::string a = MakeFile("A.vob", At(2004, 3, 7, 9, 0, 0));
  InputList list;
  list.Add({newer, b, a});
  list.Sort(files_, collation_, errors_);
  ASSERT_EQ(list.Entries().size(), 3u);
  EXPECT_EQ(list.Entries()[0].Text, a);
  EXPECT_EQ(list.Entries()[1].Text, b);
  EXPECT_EQ(list.Entries()[2].Text, newer);
}

TEST_F(FileLookupTest, AFolderCountsAsExisting) {
  const std::string path = MakeFolder("Film.vob");
  EXPECT_TRUE(files_.Exists(path));
  DateTime time;
  std::uint32_t code = 0;
  EXPECT_TRUE(files_.LastWriteTimeUtc(path, time, code));
  EXPECT_GE(time.year, 2000);
}

TEST_F(FileLookupTest, MissingFileGivesError2AndTheSystemsText) {
  const std::string path = folder_ + "gone.vob";
  EXPECT_FALSE(files_.Exists(path));
  DateTime time;
  std::uint32_t code = 0;
  ASSERT_FALSE(files_.LastWriteTimeUtc(path, time, code));
  EXPECT_EQ(code, 2u);

  const std::string text = errors_.SystemErrorText(2);
  EXPECT_FALSE(text.empty());
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;

  InputList list;
  list.Add({path});
  try {
    list.Sort(files_, collation_, errors_);
    FAIL() << "the sort went through";
  } catch (const KavrinError& error) {
    EXPECT_EQ(std::string(error.what()), "Win32 Error.  Code: 2.\r\n" + text);
  }
}

TEST_F(FileLookupTest, MissingFolderGivesError3) {
  DateTime time;
  std::uint32_t code = 0;
  ASSERT_FALSE(files_.LastWriteTimeUtc(folder_ + "nowhere\\a.vob", time, code));
  EXPECT_EQ(code, 3u);
}

TEST_F(FileLookupTest, WildcardsMatchNothing) {
  MakeFile("DTS-Track-001.wav", At(2010, 1, 1, 0, 0, 0));
  EXPECT_FALSE(files_.Exists(folder_ + "*"));
  EXPECT_FALSE(files_.Exists(folder_ + "DTS-Track-00?.wav"));
  DateTime time;
  std::uint32_t code = 0;
  EXPECT_FALSE(files_.LastWriteTimeUtc(folder_ + "*.wav", time, code));
  EXPECT_EQ(code, static_cast<std::uint32_t>(ERROR_INVALID_NAME));
}

TEST_F(FileLookupTest, TheErrorModeIsRestored) {
  const UINT before = SetErrorMode(SEM_NOGPFAULTERRORBOX);
  files_.Exists(folder_ + "gone.vob");
  MakeFile("here.vob", At(2010, 1, 1, 0, 0, 0));
  files_.Exists(folder_ + "here.vob");
  EXPECT_EQ(GetErrorMode(), static_cast<UINT>(SEM_NOGPFAULTERRORBOX));
  SetErrorMode(before);
}

TEST(TextServices, CompareIgnoresCase) {
  Win32Collation collation;
  EXPECT_EQ(collation.CompareIgnoreCase("C:\\DVD\\A.VOB", "c:\\dvd\\a.vob"), 0);
  EXPECT_LT(collation.CompareIgnoreCase("a.vob", "B.vob"), 0);
  EXPECT_GT(collation.CompareIgnoreCase("B.vob", "a.vob"), 0);
  EXPECT_LT(collation.CompareIgnoreCase("20040307090000b", "20040307100000A"), 0);
  EXPECT_LT(collation.CompareIgnoreCase("", "a"), 0);
}

TEST(TextServices, ErrorTextsHaveNoTrailingLineBreak) {
  Win32ErrorTexts errors;
  for (std::uint32_t code : {2u, 3u, 5u}) {
    const std::string text = errors.SystemErrorText(code);
    ASSERT_FALSE(text.empty()) << code;
    EXPECT_NE(text.back(), '\n');
    EXPECT_NE(text.back(), '\r');
  }
  EXPECT_EQ(errors.SystemErrorText(0xDEADBEEFu), "");
}

}  // namespace
}  // namespace kavrin::win32
