#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "batch/log_file.hpp"
#include "integration/test_files.hpp"
#include "platform/win32/unique_resource.hpp"
#include "platform/win32/win32_clock.hpp"
#include "platform/win32/win32_file_store.hpp"

namespace kavrin::win32 {
namespace {

using namespace std::string_literals;
using Result = FileStore::ReadResult;

// The names in a folder in order, "." and ".." aside.
std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const WIN32_FIND_DATAA& found : FolderEntries(folder)) names.push_back(found.cFileName);
  std::sort(names.begin(), names.end());
  return names;
}

class FileStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH + 1];
    GetTempPathA(sizeof temp, temp);
    folder_ = std::string(temp) + "kavrin-files-" + std::to_string(GetCurrentProcessId()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
    CreateDirectoryA(folder_.c_str(), nullptr);
  }
  void TearDown() override {
    for (const char* name : {"a.log", "b.log", "c.log"}) {
      SetFileAttributesA(Path(name).c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(Path(name).c_str());
    }
    RemoveDirectoryA(folder_.c_str());
  }
  std::string Path(const char* name) { return folder_ + "\\" + name; }

  std::string folder_;
  Win32FileStore files_;
};

TEST_F(FileStoreTest, RoundTripKeepsEveryByte) {
  const std::string bytes = "line\0after NUL\r\n\xff\xfe\n"s;
  ASSERT_TRUE(files_.WriteWholeFile(Path("a.log"), bytes));
  std::string read;
  ASSERT_EQ(files_.ReadWholeFile(Path("a.log"), read), Result::Read);
  EXPECT_EQ(read, bytes);

  // Writing replaces the content; it does not append.
  ASSERT_TRUE(files_.WriteWholeFile(Path("a.log"), "x"));
  ASSERT_EQ(files_.ReadWholeFile(Path("a.log"), read), Result::Read);
  EXPECT_EQ(read, "x");
}

TEST_F(FileStoreTest, OnlyAMissingFileOrFolderReadsAsNotFound) {
  std::string read = "untouched";
  EXPECT_EQ(files_.ReadWholeFile(Path("missing.log"), read), Result::NotFound);
  EXPECT_EQ(files_.ReadWholeFile(folder_ + "\\no such folder\\a.log", read), Result::NotFound);
  EXPECT_EQ(files_.ReadWholeFile(Path("\"a.log\""), read), Result::Failed);
  EXPECT_EQ(read, "untouched");
  EXPECT_FALSE(files_.WriteWholeFile(folder_ + "\\no such folder\\a.log", "x"));
}

TEST_F(FileStoreTest, ReadIsRefusedWhileAnotherHandleWrites) {
  ASSERT_TRUE(files_.WriteWholeFile(Path("a.log"), "x"));
  const UniqueHandle writer(CreateFileA(Path("a.log").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(writer);
  std::string read;
  EXPECT_EQ(files_.ReadWholeFile(Path("a.log"), read), Result::Failed);
}

// The new content replaces the old only as a whole: a hidden log is
// rewritten and stays hidden; a read-only or locked one keeps every byte, and
// no file is left beside it.
TEST_F(FileStoreTest, ALogIsReplacedWholeOrNotAtAll) {
  Win32Clock clock;
  ASSERT_TRUE(files_.WriteWholeFile(Path("a.log"), "hidden"));
  ASSERT_TRUE(SetFileAttributesA(Path("a.log").c_str(), FILE_ATTRIBUTE_HIDDEN));
  AppendPreRunLine(files_, clock, Path("a.log"));
  std::string read;
  ASSERT_EQ(files_.ReadWholeFile(Path("a.log"), read), Result::Read);
  EXPECT_EQ(read, "hidden\r\n\r\n");
  EXPECT_NE(GetFileAttributesA(Path("a.log").c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);

  ASSERT_TRUE(files_.WriteWholeFile(Path("b.log"), "read-only\n"));
  ASSERT_TRUE(SetFileAttributesA(Path("b.log").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(files_.WriteWholeFile(Path("b.log"), "lost"));
  AppendEndBlock(files_, clock, Path("b.log"));
  ASSERT_EQ(files_.ReadWholeFile(Path("b.log"), read), Result::Read);
  EXPECT_EQ(read, "read-only\n");

  ASSERT_TRUE(files_.WriteWholeFile(Path("c.log"), "locked\n"));
  {
    const UniqueHandle holder(
        CreateFileA(Path("c.log").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    EXPECT_FALSE(files_.WriteWholeFile(Path("c.log"), "lost"));
  }
  ASSERT_EQ(files_.ReadWholeFile(Path("c.log"), read), Result::Read);
  EXPECT_EQ(read, "locked\n");
  EXPECT_EQ(Names(folder_), (std::vector<std::string>{"a.log", "b.log", "c.log"}));
}

TEST_F(FileStoreTest, MoveFailsOnAnExistingTargetAndDeleteRemoves) {
  ASSERT_TRUE(files_.WriteWholeFile(Path("a.log"), "source"));
  ASSERT_TRUE(files_.WriteWholeFile(Path("b.log"), "target"));
  EXPECT_FALSE(files_.RenameNoReplace(Path("a.log"), Path("b.log")));
  std::string read;
  ASSERT_EQ(files_.ReadWholeFile(Path("b.log"), read), Result::Read);
  EXPECT_EQ(read, "target");

  EXPECT_TRUE(files_.RenameNoReplace(Path("a.log"), Path("c.log")));
  EXPECT_EQ(files_.ReadWholeFile(Path("a.log"), read), Result::NotFound);
  EXPECT_TRUE(files_.Remove(Path("c.log")));
  EXPECT_FALSE(files_.Remove(Path("c.log")));

  // Kavrin's own file goes also when read-only; one that is not there is gone.
  std::uint32_t code = 0;
  ASSERT_TRUE(files_.WriteWholeFile(Path("a.log"), "own"));
  SetFileAttributesA(Path("a.log").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(files_.Remove(Path("a.log")));
  EXPECT_TRUE(files_.RemoveOwnFile(Path("a.log"), code));
  EXPECT_EQ(files_.ReadWholeFile(Path("a.log"), read), Result::NotFound);
  EXPECT_TRUE(files_.RemoveOwnFile(Path("a.log"), code));
  EXPECT_EQ(files_.SizeOf(Path("a.log")), std::nullopt);
}

// The size as it grows, while the writer holds the file open to itself.
TEST_F(FileStoreTest, SizeIsReadWhileAnotherHandleWrites) {
  const UniqueHandle writer(
      CreateFileA(Path("a.log").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(writer);
  DWORD written = 0;
  for (const DWORD expected : {1000u, 2000u}) {
    ASSERT_TRUE(WriteFile(writer.Get(), std::string(1000, 'x').data(), 1000, &written, nullptr));
    EXPECT_EQ(files_.SizeOf(Path("a.log")), std::optional<std::uint64_t>(expected));
  }
  EXPECT_EQ(files_.SizeOf(folder_), std::nullopt);
}

TEST_F(FileStoreTest, LogWritesThroughTheRealStore) {
  Win32Clock clock;
  ASSERT_TRUE(files_.WriteWholeFile(Path("a.log"), "report\nwith\0NUL"s));
  AppendPreRunLine(files_, clock, Path("a.log"));
  std::string read;
  ASSERT_EQ(files_.ReadWholeFile(Path("a.log"), read), Result::Read);
  EXPECT_EQ(read, "report\r\nwith\0NUL\r\n\r\n"s);

  AppendStartBlock(files_, clock, Path("b.log"));
  ASSERT_EQ(files_.ReadWholeFile(Path("b.log"), read), Result::Read);
  EXPECT_EQ(read.rfind("SurCode CD Pro DTS\r\n-----------------------------------\r\nLogging start : ", 0), 0u);
}

// Another program holds the log open, sharing reading and writing but not
// deleting, as a viewer that follows it may: the lines still reach it. The program's
// own leftovers beside it go at the next write; other files stay.
TEST_F(FileStoreTest, ALogHeldWithoutDeleteSharingStillGetsItsLines) {
  Win32Clock clock;
  ASSERT_TRUE(files_.WriteWholeFile(Path("a.log"), "report\n"));
  ASSERT_TRUE(files_.WriteWholeFile(Path("~kv7.tmp"), "left by a killed run"));
  ASSERT_TRUE(files_.WriteWholeFile(Path("~kvx.tmp"), "someone else's"));
  {
    const UniqueHandle holder(CreateFileA(Path("a.log").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    AppendEndBlock(files_, clock, Path("a.log"));
  }
  std::string read;
  ASSERT_EQ(files_.ReadWholeFile(Path("a.log"), read), Result::Read);
  // Appended when the replace stays refused, the old line break as it was.
  EXPECT_TRUE(read.rfind("report\nLogging end : ", 0) == 0 || read.rfind("report\r\nLogging end : ", 0) == 0) << read;
  const std::string end = "\r\n-----------------------------------\r\n";
  EXPECT_TRUE(read.size() > end.size() && read.substr(read.size() - end.size()) == end) << read;
  EXPECT_EQ(Names(folder_), (std::vector<std::string>{"a.log", "~kvx.tmp"}));
  DeleteFileA(Path("~kvx.tmp").c_str());
}

TEST(ClockTest, RegionalFormatsOfTheGivenTime) {
  Win32Clock clock;
  const DateTime now = clock.Now();
  EXPECT_GE(now.year, 2000);
  const DateTime sample{2026, 12, 7, 21, 54, 57};
  const std::string date = clock.ShortDate(sample);
  const std::string time = clock.LongTime(sample);
  EXPECT_NE(date.find("7"), std::string::npos) << date;
  EXPECT_NE(date.find("12"), std::string::npos) << date;
  EXPECT_NE(time.find("54"), std::string::npos) << time;
  EXPECT_NE(time.find("57"), std::string::npos) << time;
  EXPECT_EQ(date.find('\0'), std::string::npos);
  EXPECT_EQ(time.find('\0'), std::string::npos);
}

// Records every handle it closes; 0 is empty, a negative value a failure.
struct RecordedTraits {
  using Handle = int;
  static inline std::vector<int> closed;
  static Handle Empty() { return 0; }
  static bool IsValid(Handle handle) { return handle > 0; }
  static void Close(Handle handle) { closed.push_back(handle); }
};
using Recorded = UniqueResource<RecordedTraits>;

void MoveAssign(Recorded& to, Recorded& from) { to = std::move(from); }

TEST(UniqueResource, EveryHandleIsClosedOnceWhateverItsOwnerDoes) {
  const struct {
    const char* what;
    void (*use)(Recorded& a, Recorded& b);
    std::vector<int> closed;  // in order, until both owners, a (1) and b (2), are gone
  } cases[] = {
      {"left alone", [](Recorded&, Recorded&) {}, {2, 1}},
      {"moved into a new owner", [](Recorded& a, Recorded&) { const Recorded c(std::move(a)); }, {1, 2}},
      {"assigned over another", [](Recorded& a, Recorded& b) { MoveAssign(b, a); }, {2, 1}},
      {"assigned to itself", [](Recorded& a, Recorded&) { MoveAssign(a, a); }, {2, 1}},
      {"reset to another", [](Recorded& a, Recorded&) { a.Reset(3); }, {1, 2, 3}},
      {"reset to a failure", [](Recorded& a, Recorded&) { a.Reset(-1); }, {1, 2}},
      {"released", [](Recorded& a, Recorded&) { EXPECT_EQ(a.Release(), 1); }, {2}},
      {"received into", [](Recorded& a, Recorded&) { *a.Receive() = 3; }, {1, 2, 3}},
  };
  for (const auto& c : cases) {
    RecordedTraits::closed.clear();
    {
      Recorded a(1);
      Recorded b(2);
      c.use(a, b);
    }
    EXPECT_EQ(RecordedTraits::closed, c.closed) << c.what;
  }
  EXPECT_EQ(Recorded(-1).Get(), 0);
  // Never handed to a wait: INVALID_HANDLE_VALUE is the current process there.
  EXPECT_EQ(UniqueHandle(INVALID_HANDLE_VALUE).Get(), nullptr);
}

}  // namespace
}  // namespace kavrin::win32
