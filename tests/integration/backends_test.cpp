#include <windows.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "backends/common/ffmpeg.hpp"
#include "integration/test_files.hpp"
#include "platform/win32/unique_resource.hpp"

namespace kavrin::win32 {
namespace {

// The transcoder's quoted path, a blank and the argument text.
std::string TranscoderLine(const std::string& arguments) {
  std::string line(1, '"');
  return line.append(ModuleFolder()).append("\\..\\backends\\kavrin-transcoder.exe\" ").append(arguments);
}

// Runs a program to its end (bounded) and gives its exit code.
DWORD RunToEnd(const std::string& commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                      &started))
    return 0xDEAD;
  UniqueHandle process(started.hProcess);
  UniqueHandle thread(started.hThread);
  if (WaitForSingleObject(process.Get(), 60000) != WAIT_OBJECT_0) {
    TerminateProcess(process.Get(), 1);
    return 0xBAD;
  }
  DWORD code = 0;
  GetExitCodeProcess(process.Get(), &code);
  return code;
}

TEST(Backends, QuotedArgumentsSplitBackIntoTheSameWords) {
  const std::vector<std::wstring> words = {
      L"plain",     L"two words", L"",         L"say \"hi\"",
      L"C:\\dir\\", L"end\\\\",   L"a\\\"b c", L"[0:i:0x80]aresample=ochl=5.1(side)"};
  std::wstring line = L"program";
  for (const std::wstring& word : words) line += L" " + backends::QuoteArgument(word);
  int count = 0;
  const UniqueLocal<LPWSTR> split(CommandLineToArgvW(line.c_str(), &count));
  ASSERT_NE(split.Get(), nullptr);
  ASSERT_EQ(count, static_cast<int>(words.size()) + 1);
  for (size_t i = 0; i < words.size(); ++i) EXPECT_EQ(split.Get()[i + 1], words[i]) << i;
}

// Every failing run reports in its log and leaves no output, finished or not.
TEST(Backends, TheTranscoderRefusesOrFailsWithAReportAndNoOutput) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  const std::string dir = std::string(folder) + "kavrin backends test";
  CreateDirectoryA(dir.c_str(), nullptr);
  const std::string log = dir + "\\report.log";
  const std::string out = dir + "\\CDDA-Track-001.wav";
  const std::string core = "-core( -input \"" + dir + "\\missing.ac3\" -output \"" + out + "\" ";
  const std::string tail = "-logfilea \"" + log + "\" ) -ssrc(  --rate 44100 ) ";
  struct Row {
    std::string arguments;
    std::vector<DWORD> exitCodes;
    std::string reported;
  };
  // A missing input fails in ffmpeg, or earlier when there is none.
  const std::vector<Row> rows = {
      {core + "-2ch " + tail, {1, 3}, "result: failed"},
      {core + "-2ch " + "-logfilea \"" + log + "\" ) -ssrc( --rate 44100", {2}, "-ssrc(: the group is not closed"},
      {"-logfilea \"" + log + "\" ) -ssrc(  --rate 44100 ) ", {2}, "no channel switch"},
  };
  for (const Row& row : rows) {
    DeleteFileA(log.c_str());
    const DWORD code = RunToEnd(TranscoderLine(row.arguments));
    EXPECT_NE(std::find(row.exitCodes.begin(), row.exitCodes.end(), code), row.exitCodes.end())
        << row.arguments << ": " << code;
    EXPECT_NE(ReadAll(log).find(row.reported), std::string::npos) << row.arguments << "\n" << ReadAll(log);
    EXPECT_FALSE(Exists(out));
    EXPECT_FALSE(Exists(out + ".part"));
  }
  // Reports are appended: the earlier one stays.
  WriteAll(log, "earlier\r\n");
  RunToEnd(TranscoderLine(rows[0].arguments));
  EXPECT_EQ(ReadAll(log).rfind("earlier\r\nKavrin transcoder", 0), 0u);
  DeleteFileA(log.c_str());
  RemoveDirectoryA(dir.c_str());
}

}  // namespace
}  // namespace kavrin::win32
