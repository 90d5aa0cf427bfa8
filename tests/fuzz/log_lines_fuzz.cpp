// The log's line split and rewrite over arbitrary old contents, through the
// in-memory file store and its failure switches.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "batch/log_file.hpp"
#include "fakes/fake_clock.hpp"
#include "fakes/fake_file_store.hpp"
#include "fuzz/fuzz_check.hpp"

namespace {

using namespace kavrin;

const char* const kLog = "C:\\Logs\\encode.log";

// Lines end at CR LF, a lone CR or a lone LF; a last line without a break counts.
std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines(1);
  for (size_t at = 0; at < bytes.size(); ++at) {
    if (bytes[at] != '\r' && bytes[at] != '\n') {
      lines.back() += bytes[at];
      continue;
    }
    if (bytes[at] == '\r' && bytes.compare(at + 1, 1, "\n") == 0) ++at;
    lines.emplace_back();
  }
  if (lines.back().empty()) lines.pop_back();
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// Lines the program writes: no line breaks of their own.
std::vector<std::string> NewLines(FuzzedDataProvider& input) {
  std::vector<std::string> lines(input.ConsumeIntegralInRange(0, 4));
  for (std::string& line : lines) {
    line = input.ConsumeRandomLengthString(40);
    for (char& c : line) {
      if (c == '\r' || c == '\n') c = ' ';
    }
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  fakes::FakeFileStore files;
  const bool exists = input.ConsumeBool();
  const bool createWhenMissing = input.ConsumeBool();
  files.failRead = input.ConsumeBool();
  files.failWrite = input.ConsumeBool();
  // The append that follows a failed rewrite is not what is checked here.
  files.failAppend = files.failWrite;
  const std::vector<std::string> first = NewLines(input);
  const std::vector<std::string> second = NewLines(input);
  const std::string old = input.ConsumeRemainingBytesAsString();
  if (exists) files.files[kLog] = old;

  fakes::FakeClock clock;
  AppendLogLines(files, clock, kLog, first, createWhenMissing);
  // Only the log is ever touched.
  FUZZ_CHECK(files.files.size() <= 1);
  const bool written = !files.failRead && !files.failWrite && (exists || createWhenMissing);
  if (!written) {
    // A log that cannot be read or written stays exactly as it was.
    FUZZ_CHECK(files.Has(kLog) == exists);
    if (exists) FUZZ_CHECK(files.files[kLog] == old);
    return 0;
  }
  // The old lines come back unchanged, each ended by CR LF, and the new ones follow.
  const std::string once = files.files[kLog];
  FUZZ_CHECK(once == Joined(Lines(exists ? old : std::string())) + Joined(first));

  // A log already in that form is never rewritten into anything else.
  AppendLogLines(files, clock, kLog, second, createWhenMissing);
  FUZZ_CHECK(files.files[kLog] == once + Joined(second));
  return 0;
}
