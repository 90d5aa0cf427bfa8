#include <windows.h>
#include <gtest/gtest.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "backends/common/ffmpeg.hpp"
#include "backends/common/wav_header.hpp"
#include "backends/dts_encoder/encoding.hpp"
#include "backends/dts_encoder/segments.hpp"
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

// A rename waits while the file is held a moment, and gives up on one that
// stays held.
TEST(Backends, ARenameWaitsForAFileThatIsFreedSoon) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  const std::string from = std::string(folder) + "kavrin when free.part";
  const std::string to = std::string(folder) + "kavrin when free.wav";
  WriteAll(from, "track");
  DeleteFileA(to.c_str());
  const auto rename = [&] { return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING); };
  UniqueHandle held(CreateFileA(from.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  EXPECT_FALSE(backends::WhenFree(rename));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  std::thread release([&held] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    held.Reset();
  });
  EXPECT_TRUE(backends::WhenFree(rename));
  release.join();
  EXPECT_EQ(ReadAll(to), "track");
  DeleteFileA(to.c_str());
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
  const std::string empty = dir + "\\empty.ac3";
  WriteAll(empty, "");
  const std::vector<Row> rows = {
      {core + "-2ch " + tail, {1, 3}, "result: failed"},
      {"-core( -input \"" + empty + "\" -output \"" + out + "\" -2ch " + tail, {1}, "error: the input file is empty"},
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
  DeleteFileA(empty.c_str());
  RemoveDirectoryA(dir.c_str());
}

// The id of a running ffmpeg.exe that `parent` started; 0 if there is none.
DWORD FfmpegChildOf(DWORD parent) {
  const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.Get(), &entry); more; more = Process32Next(snapshot.Get(), &entry)) {
    if (entry.th32ParentProcessID == parent && _stricmp(entry.szExeFile, "ffmpeg.exe") == 0) return entry.th32ProcessID;
  }
  return 0;
}

// A transcoder killed from outside (as a user's task manager does) must not
// leave its ffmpeg running: here ffmpeg waits on an input pipe that never
// gives it anything.
TEST(Backends, AKilledTranscoderTakesItsFfmpegWithIt) {
  const std::string pipe = "\\\\.\\pipe\\kavrin-backends-test-" + std::to_string(GetCurrentProcessId());
  const UniqueHandle server(
      CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr));
  ASSERT_TRUE(server) << GetLastError();
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  std::string line = TranscoderLine("-core( -input \"" + pipe + "\" -output \"" + folder +
                                    "CDDA-Track-999.wav\" -2ch ) -ssrc(  --rate 44100 ) ");
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                             &startup, &started));
  const UniqueHandle transcoder(started.hProcess);
  const UniqueHandle thread(started.hThread);
  DWORD child = 0;
  for (auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
       child == 0 && std::chrono::steady_clock::now() < until;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    child = FfmpegChildOf(started.dwProcessId);
  }
  const UniqueHandle ffmpeg(child != 0 ? OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, child)
                                       : nullptr);
  // Killed before its ffmpeg is in the job, the transcoder would leave it
  // suspended: the test kills it once it is.
  BOOL inJob = FALSE;
  for (auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
       ffmpeg && !inJob && std::chrono::steady_clock::now() < until;) {
    if (!IsProcessInJob(ffmpeg.Get(), nullptr, &inJob)) break;
    if (!inJob) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  TerminateProcess(transcoder.Get(), 9);
  ASSERT_NE(child, 0u) << "the transcoder's ffmpeg.exe to start";
  ASSERT_TRUE(ffmpeg);
  EXPECT_EQ(WaitForSingleObject(ffmpeg.Get(), 30000), WAIT_OBJECT_0) << "the transcoder's ffmpeg to end with it";
}

// A 16-bit mono 44.1 kHz WAV file of a tone at `level` with noise 30 dB
// below it.
void WriteMono(const std::string& path, std::size_t samples, double hz, double level, std::uint32_t seed) {
  std::string data(samples * 2, '\0');
  for (std::size_t i = 0; i < samples; ++i) {
    seed = seed * 1664525u + 1013904223u;
    const double noise = (static_cast<double>(seed >> 8) / (1u << 24) - 0.5) * 0.06 * level;
    const auto value =
        static_cast<std::int16_t>(std::lround(32767 * (level * std::sin(hz * 6.2832 * i / 44100) + noise)));
    data[2 * i] = static_cast<char>(value & 0xFF);
    data[2 * i + 1] = static_cast<char>((value >> 8) & 0xFF);
  }
  const auto header = WavHeader(data.size(), 1);
  WriteAll(path, std::string(header.begin(), header.end()) + data);
}

// Encoded in segments at once, a DTS-CD track has the bytes of one encoding
// of the whole: every segment count, with a source that ends inside a frame
// and an LFE tone that the encoder's decimator carries across the cuts.
TEST(Backends, ADtsCdTrackEncodedInSegmentsHasTheBytesOfOneEncodingOfTheWhole) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  const std::string dir = std::string(folder) + "kavrin segments test";
  CreateDirectoryA(dir.c_str(), nullptr);
  const std::optional<backends::Ffmpeg> ffmpeg = backends::Ffmpeg::At(ModuleFolder() + "\\..\\backends\\ffmpeg.exe");
  ASSERT_TRUE(ffmpeg.has_value());
  const std::size_t samples = 3 * 44100 + 333;
  dts_encoder::EncodingFiles files;
  const double tones[] = {410, 630, 1070, 1290, 850, 80};  // FL FR SL SR C LFE
  for (std::size_t n = 0; n < files.Inputs.size(); ++n) {
    files.Inputs[n] = dir + "\\mono" + std::to_string(n) + ".wav";
    WriteMono(files.Inputs[n], samples, tones[n], n == 5 ? 0.5 : 0.2, static_cast<std::uint32_t>(n + 1));
  }
  std::string whole;
  for (unsigned count = 1; count <= 4; ++count) {
    files.Track = dir + "\\track" + std::to_string(count) + ".wav";
    dts_encoder::Encoding encoding(files, *ffmpeg, count);
    const UniqueHandle ended(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(encoding.Start([&ended] { SetEvent(ended.Get()); })) << encoding.Failure();
    ASSERT_EQ(WaitForSingleObject(ended.Get(), 120000), WAIT_OBJECT_0) << "the encoding in " << count << " to end";
    encoding.Finish();
    ASSERT_TRUE(encoding.Complete()) << count << ": " << encoding.Failure();
    EXPECT_EQ(encoding.Segments(), count);
    const std::string track = ReadAll(files.Track);
    if (count == 1) {
      whole = track;
      EXPECT_EQ(track.size(), kWavHeaderBytes + DtsTrackFrames(samples) * 2048);
      continue;
    }
    ASSERT_EQ(track.size(), whole.size()) << count;
    const auto differs = std::mismatch(track.begin(), track.end(), whole.begin());
    EXPECT_TRUE(differs.first == track.end())
        << count << " segments differ from the whole in frame " << (differs.first - track.begin() - 44) / 2048;
  }
  // Stopped as WM_CLOSE stops it: every segment ends, and neither the track
  // nor its part is left.
  files.Track = dir + "\\stopped.wav";
  dts_encoder::Encoding stopped(files, *ffmpeg, 4);
  const UniqueHandle ended(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  ASSERT_TRUE(stopped.Start([&ended] { SetEvent(ended.Get()); })) << stopped.Failure();
  stopped.Cancel();
  ASSERT_EQ(WaitForSingleObject(ended.Get(), 60000), WAIT_OBJECT_0) << "the stopped encoding to end";
  stopped.Finish();
  EXPECT_FALSE(stopped.Complete());
  EXPECT_EQ(stopped.Failure(), "stopped");
  for (const std::string& left : {files.Track, files.Track + ".part"})
    EXPECT_EQ(GetFileAttributesA(left.c_str()), INVALID_FILE_ATTRIBUTES) << left;
  RemoveTree(dir);
}

}  // namespace
}  // namespace kavrin::win32
