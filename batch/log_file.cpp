#include "batch/log_file.hpp"

#include "core/text.hpp"

namespace kavrin {

namespace {

const char* const kSeparator = "-----------------------------------";

// Pauses before each further try of a rewrite that found the log held.
constexpr unsigned kRetryDelays[] = {10, 20, 50, 100, 200};

// Lines end at CR LF, a lone CR or a lone LF; a last line without a break
// counts. Every other byte, NUL included, stays as it is.
std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace

std::string LogFileName(const std::string& logFileText) { return UnquotedFieldText(logFileText); }

bool LoggingActive(bool switchChecked, const std::string& logFileText) {
  return switchChecked && !LogFileName(logFileText).empty();
}

std::string DateTimeText(Clock& clock) {
  const DateTime now = clock.Now();
  std::string date = clock.ShortDate(now);
  if (now.hour == 0 && now.minute == 0 && now.second == 0) return date;
  return date + " " + clock.LongTime(now);
}

void AppendLogLines(FileStore& files, Clock& clock, const std::string& logFileText,
                    const std::vector<std::string>& lines, bool createWhenMissing) {
  const std::string name = LogFileName(logFileText);
  std::string bytes;
  switch (files.ReadWholeFile(name, bytes)) {
    case FileStore::ReadResult::Read:
      break;
    case FileStore::ReadResult::NotFound:
      if (!createWhenMissing) return;
      bytes.clear();
      break;
    case FileStore::ReadResult::Failed:
      // A log that exists but cannot be read now is never overwritten.
      return;
  }
  std::vector<std::string> all = SplitLines(bytes);
  all.insert(all.end(), lines.begin(), lines.end());

  std::string text;
  for (const std::string& line : all) text += line + "\r\n";
  FileStore::WriteResult result = files.ReplaceWholeFile(name, text);
  for (const unsigned delay : kRetryDelays) {
    if (result != FileStore::WriteResult::Busy) break;
    clock.Sleep(delay);
    result = files.ReplaceWholeFile(name, text);
  }
  if (result == FileStore::WriteResult::Written) return;

  // Only the CR LF rewrite of the old lines is given up. A refused append
  // loses these lines and nothing else.
  std::string tail = !bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r' ? "\r\n" : "";
  for (const std::string& line : lines) tail += line + "\r\n";
  files.AppendToFile(name, tail);
}

void AppendPreRunLine(FileStore& files, Clock& clock, const std::string& logFileText) {
  // Not created here: BeSweet's own report brings the file into being.
  AppendLogLines(files, clock, logFileText, {std::string()}, false);
}

void AppendStartBlock(FileStore& files, Clock& clock, const std::string& logFileText) {
  AppendLogLines(files, clock, logFileText,
                 {"SurCode CD Pro DTS", kSeparator, "Logging start : " + DateTimeText(clock)}, true);
}

void AppendEndBlock(FileStore& files, Clock& clock, const std::string& logFileText) {
  AppendLogLines(files, clock, logFileText, {"Logging end : " + DateTimeText(clock), kSeparator}, true);
}

}  // namespace kavrin
