#pragma once

#include <windows.h>

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
  std::string Messages;  // ffmpeg's error output, as it wrote it

  bool Succeeded() const { return Started && !Cancelled && ExitCode == 0; }
  // The last line ffmpeg wrote, or why it did not run, for a report.
  std::string Reason() const;
};

// ffmpeg as both backends find it: ffmpeg.exe beside the running program,
// under Wine the Unix /usr/bin/ffmpeg (or /usr/local/bin/ffmpeg), otherwise
// ffmpeg.exe on the PATH.
//
// Arguments are wide texts: ffmpeg takes its file names from the wide command
// line on Windows, and under Wine a Unix path is UTF-8 that no ANSI code page
// can carry.
class Ffmpeg {
 public:
  static std::optional<Ffmpeg> Find();

  // A file argument for a path in the ANSI code page: under Wine the Unix
  // path of the file (its folder must exist), otherwise the path itself.
  std::wstring FileArgument(const std::string& path) const;
  // Plain option text: ASCII.
  static std::wstring Text(const std::string& ascii);

  // Runs ffmpeg with these arguments (program name not included) and waits
  // until it ends, or until `cancel` is signalled, which stops it.
  FfmpegResult Run(const std::vector<std::wstring>& arguments, HANDLE cancel = nullptr) const;

  // Where ffmpeg was found, for reports.
  const std::string& Location() const { return location_; }

 private:
  Ffmpeg(std::wstring program, std::string location, bool unixProgram)
      : program_(std::move(program)), location_(std::move(location)), unixProgram_(unixProgram) {}

  FfmpegResult RunWindowsProgram(const std::vector<std::wstring>& arguments, HANDLE cancel) const;
  FfmpegResult RunUnixProgram(const std::vector<std::wstring>& arguments, HANDLE cancel) const;

  std::wstring program_;
  std::string location_;
  bool unixProgram_;
};

// A command line word quoted as CommandLineToArgvW and the C runtime split it.
std::wstring QuoteArgument(const std::wstring& argument);

}  // namespace kavrin::backends
