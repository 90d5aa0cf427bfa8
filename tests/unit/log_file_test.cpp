#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch/log_file.hpp"
#include "fakes/fake_clock.hpp"
#include "fakes/fake_file_store.hpp"

namespace kavrin {
namespace {

using namespace std::string_literals;

const std::string kLog = "C:\\Temp\\encode.log";
const std::string kSeparator(35, '-');

TEST(LogFileTest, LoggingNeedsTheSwitchAndANonBlankName) {
  EXPECT_TRUE(LoggingActive(true, "C:\\log.txt"));
  EXPECT_TRUE(LoggingActive(true, "  C:\\log.txt "));
  EXPECT_FALSE(LoggingActive(true, " \t\r\n"));
  EXPECT_FALSE(LoggingActive(true, ""));
  EXPECT_FALSE(LoggingActive(false, "C:\\log.txt"));
  EXPECT_FALSE(LoggingActive(true, " \"\" "));
}

TEST(LogFileTest, NameIsTrimmedAndLosesOneEnclosingPairOfQuotes) {
  EXPECT_EQ(LogFileName("  C:\\log.txt\t"), "C:\\log.txt");
  EXPECT_EQ(LogFileName(" \"C:\\My Logs\\x.log\" "), "C:\\My Logs\\x.log");
  EXPECT_EQ(LogFileName("\"\"C:\\x.log\"\""), "\"C:\\x.log\"");
  EXPECT_EQ(LogFileName("\"C:\\x.log"), "\"C:\\x.log");
  EXPECT_EQ(LogFileName("\""), "\"");
}

TEST(LogFileTest, DateTimeLeavesTheTimeOutOnlyAtMidnight) {
  fakes::FakeClock clock;
  clock.now = {2026, 12, 7, 21, 54, 57};
  EXPECT_EQ(DateTimeText(clock), "07.12.2026 21:54:57");
  clock.now = {2026, 12, 8, 0, 0, 0};
  EXPECT_EQ(DateTimeText(clock), "08.12.2026");
  clock.now = {2026, 12, 8, 0, 0, 1};
  EXPECT_EQ(DateTimeText(clock), "08.12.2026 00:00:01");
  clock.now = {2026, 12, 8, 0, 1, 0};
  EXPECT_EQ(DateTimeText(clock), "08.12.2026 00:01:00");
}

TEST(LogFileTest, PreRunLineRewritesEveryBreakAsCrLf) {
  struct Row {
    const char* what;
    std::string before;
    std::string after;
  };
  const std::vector<Row> rows = {
      {"empty file", "", "\r\n"},
      {"CR LF", "a\r\nb\r\n", "a\r\nb\r\n\r\n"},
      {"LF only", "a\nb\n", "a\r\nb\r\n\r\n"},
      {"CR only", "a\rb\r", "a\r\nb\r\n\r\n"},
      {"last line without a break", "a\r\nb", "a\r\nb\r\n\r\n"},
      {"LF CR is two breaks", "a\n\rb", "a\r\n\r\nb\r\n\r\n"},
      {"empty lines kept", "\n\n", "\r\n\r\n\r\n"},
      {"NUL bytes survive", "be\0fore\nafter\0\n"s, "be\0fore\r\nafter\0\r\n\r\n"s},
      {"bytes above 127 stay", "\xe4\xf6\xfc\n", "\xe4\xf6\xfc\r\n\r\n"},
  };
  for (const Row& row : rows) {
    fakes::FakeFileStore files;
    fakes::FakeClock clock;
    files.files[kLog] = row.before;
    AppendPreRunLine(files, clock, kLog);
    EXPECT_EQ(files.files[kLog], row.after) << row.what;
  }
}

TEST(LogFileTest, PreRunLineIsNotWrittenWhenTheFileCannotBeRead) {
  fakes::FakeFileStore files;
  fakes::FakeClock clock;
  AppendPreRunLine(files, clock, kLog);
  EXPECT_FALSE(files.Has(kLog));
  EXPECT_TRUE(files.writes.empty());

  files.files[kLog] = "kept\n";
  files.failRead = true;
  AppendPreRunLine(files, clock, kLog);
  EXPECT_EQ(files.files[kLog], "kept\n");
  EXPECT_TRUE(files.writes.empty());
}

TEST(LogFileTest, BlocksCreateAMissingFile) {
  fakes::FakeFileStore files;
  fakes::FakeClock clock;
  AppendStartBlock(files, clock, kLog);
  EXPECT_EQ(files.files[kLog], "SurCode CD Pro DTS\r\n" + kSeparator + "\r\nLogging start : 07.12.2026 21:54:57\r\n");

  clock.now = {2026, 12, 8, 0, 0, 0};
  AppendEndBlock(files, clock, kLog);
  EXPECT_EQ(files.files[kLog], "SurCode CD Pro DTS\r\n" + kSeparator +
                                   "\r\nLogging start : 07.12.2026 21:54:57\r\nLogging end : 08.12.2026\r\n" +
                                   kSeparator + "\r\n");
}

TEST(LogFileTest, BlocksNeverOverwriteALogThatExistsButCannotBeRead) {
  fakes::FakeFileStore files;
  fakes::FakeClock clock;
  files.files[kLog] = "old report\n";
  files.failRead = true;
  AppendStartBlock(files, clock, kLog);
  AppendEndBlock(files, clock, kLog);
  EXPECT_EQ(files.files[kLog], "old report\n");
  EXPECT_TRUE(files.writes.empty());
}

TEST(LogFileTest, RefusedWritesAreSilent) {
  fakes::FakeFileStore files;
  fakes::FakeClock clock;
  files.failWrite = true;
  files.failAppend = true;
  files.files[kLog] = "old\n";
  EXPECT_NO_THROW(AppendPreRunLine(files, clock, kLog));
  EXPECT_NO_THROW(AppendStartBlock(files, clock, kLog));
  EXPECT_EQ(files.files[kLog], "old\n");
  EXPECT_EQ(files.writes.size(), 2u);
}

// Another program holds the log without delete sharing, or nothing can be
// made beside it: the rewrite is tried again a few times, then the new lines
// are added at the end as they are.
TEST(LogFileTest, AHeldLogIsTriedAgainThenAppendedTo) {
  struct Row {
    const char* what;
    std::string before;
    int busy;
    bool failWrite;
    std::string after;
    std::vector<unsigned> sleeps;
  };
  const std::vector<Row> rows = {
      {"freed on the third try", "old\n", 2, false, "old\r\nnew\r\n", {10, 20}},
      {"held throughout", "old\n", 100, false, "old\nnew\r\n", {10, 20, 50, 100, 200}},
      {"no file beside it", "old\n", 0, true, "old\nnew\r\n", {}},
      {"last line without a break", "old", 0, true, "old\r\nnew\r\n", {}},
  };
  for (const Row& row : rows) {
    fakes::FakeFileStore files;
    fakes::FakeClock clock;
    files.files[kLog] = row.before;
    files.busyWrites = row.busy;
    files.failWrite = row.failWrite;
    AppendLogLines(files, clock, kLog, {"new"}, true);
    EXPECT_EQ(files.files[kLog], row.after) << row.what;
    EXPECT_EQ(clock.sleeps, row.sleeps) << row.what;
    EXPECT_EQ(files.appends.size(), row.busy < 3 && !row.failWrite ? 0u : 1u) << row.what;
  }
}

TEST(LogFileTest, UsesTheSameNameAsBeSweet) {
  fakes::FakeFileStore files;
  fakes::FakeClock clock;
  AppendStartBlock(files, clock, " C:\\log.txt ");
  AppendPreRunLine(files, clock, " \"C:\\My Logs\\x.log\"");
  EXPECT_EQ(files.writes, (std::vector<std::string>{"C:\\log.txt"}));
  EXPECT_EQ(files.reads, (std::vector<std::string>{"C:\\log.txt", "C:\\My Logs\\x.log"}));
}

}  // namespace
}  // namespace kavrin
