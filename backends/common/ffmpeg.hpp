#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kavrin::backends {

// One ffmpeg run: whether it started, how it ended and what it wrote to its
// error output.
struct FfmpegResult {
  bool Started = false;
  bool Cancelled = false;
  int ExitCode = -1;
  std::string Messages;     // ffmpeg's error output, in the ANSI code page
  std::string OutputError;  // why its standard output could not be taken whole

  bool Succeeded() const { return Started && !Cancelled && ExitCode == 0 && OutputError.empty(); }
  // What went wrong in ffmpeg's own words, or why it did not run, for a report.
  std::string Reason() const;
};

// Output options for ffmpeg's standard output ("pipe:1"): whole buffers
// instead of one write per packet, each of which costs a round trip under
// Wine (about 6 s per 100 MB of DTS frames through a pipe, 1 s without).
inline constexpr std::array<const wchar_t*, 2> kWholeBufferWrites = {L"-flush_packets", L"0"};

// Takes each piece of ffmpeg's standard output as it comes; false stops
// ffmpeg.
using FfmpegOutput = std::function<bool(const char* data, std::size_t size)>;

// Our ffmpeg.exe, beside the running program. Every run is a member of a job
// that ends it when this process ends, however that happens.
class Ffmpeg {
 public:
  static std::optional<Ffmpeg> Find();
  // ffmpeg.exe at this path, if it exists.
  static std::optional<Ffmpeg> At(const std::string& path);

  // A file argument for a path in the ANSI code page: ffmpeg takes its file
  // names from the wide command line.
  static std::wstring FileArgument(const std::string& path);
  // Plain option text: ASCII.
  static std::wstring Text(const std::string& ascii);

  // Runs ffmpeg with these arguments (program name not included) and waits
  // until it ends, or until `cancel` is signalled, which stops it. With
  // `output`, ffmpeg's standard output is a pipe read into it.
  FfmpegResult Run(const std::vector<std::wstring>& arguments, HANDLE cancel = nullptr,
                   const FfmpegOutput& output = nullptr) const;
  // The same, with ffmpeg's standard output ("pipe:1") written straight into
  // `file`, a file of this process, from its current position on: under Wine
  // a pipe costs seconds per 100 MB that a file does not.
  FfmpegResult RunInto(const std::vector<std::wstring>& arguments, HANDLE file, HANDLE cancel = nullptr) const;

  // Where ffmpeg was found, for reports.
  const std::string& Location() const { return location_; }

 private:
  explicit Ffmpeg(std::string location) : location_(std::move(location)) {}

  FfmpegResult Execute(const std::vector<std::wstring>& arguments, HANDLE file, HANDLE cancel,
                       const FfmpegOutput& output) const;

  std::string location_;
};

// A command line word quoted as CommandLineToArgvW and the C runtime split it.
std::wstring QuoteArgument(const std::wstring& argument);

// UTF-8 text, as ffmpeg writes it, in the ANSI code page.
std::string Utf8ToAnsi(const std::string& text);

// "error 112: There is not enough space on the disk." for a report.
std::string ErrorText(DWORD code);

// Writes all of `data` to `file`, at `at` when given; a write cut short
// without an error has met a full disk (Wine's way), and says so in the
// last error.
bool WriteWhole(HANDLE file, const void* data, std::size_t size, OVERLAPPED* at = nullptr);

// Runs `step` (a rename or a delete) again for up to 2 s while it fails
// because the file is in use: a child that has just ended may hold it a
// moment longer (Wine closes its handles a little later), and on Windows a
// scanner may open a new file. False with the last error when it fails.
bool WhenFree(const std::function<BOOL()>& step);

}  // namespace kavrin::backends
