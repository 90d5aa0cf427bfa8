#include "batch/batch_status.hpp"

#include "batch/log_file.hpp"

namespace kavrin {

namespace {

const char* ModeName(BatchMode mode) {
  switch (mode) {
    case BatchMode::DtsCd:
      return "DTS-CD";
    case BatchMode::Ac3Cd:
      return "AC3-CD";
    case BatchMode::Cdda:
      return "CDDA";
    case BatchMode::None:
      break;
  }
  return "";
}

}  // namespace

std::vector<std::string> ListedLines(const std::string& heading, const std::vector<std::string>& lines) {
  if (lines.empty()) return {};
  std::vector<std::string> listed = {heading};
  for (std::size_t i = 0; i < lines.size() && i < kNotMadeListed; ++i) listed.push_back(lines[i]);
  if (lines.size() > kNotMadeListed) listed.push_back("and " + std::to_string(lines.size() - kNotMadeListed) + " more");
  return listed;
}

std::vector<std::string> NotMadeLines(const std::vector<std::string>& notMade, int jobs) {
  return ListedLines(std::to_string(notMade.size()) + " of " + std::to_string(jobs) + " tracks were not made:",
                     notMade);
}

void BatchStatus::JobStarted(const JobSettings& settings) {
  log_.reset();
  if (LoggingActive(settings.UseLogfile, settings.LogfileText)) log_ = settings.LogfileText;
}

void BatchStatus::TranscoderStarting() {
  if (log_) AppendPreRunLine(files_, clock_, *log_);
}

void BatchStatus::EncoderStarted() {
  if (log_) AppendStartBlock(files_, clock_, *log_);
}

void BatchStatus::EncoderEnded() {
  if (log_) AppendEndBlock(files_, clock_, *log_);
}

void BatchStatus::JobNote(const std::string& line) {
  if (log_) AppendLogLines(files_, clock_, *log_, {line}, true);
}

void BatchStatus::JobFinished(const std::string& description, bool made) {
  ++jobs_;
  if (!made) notMade_.push_back(description);
  progress_.JobDone(made);
}

void BatchStatus::TrackChecked(const std::string& name, const std::string& problem) {
  ++tracks_;
  if (!problem.empty()) wontPlay_.push_back(name + ": " + problem);
}

void BatchStatus::LayoutWritten(const std::vector<std::string>& lines, bool failed) {
  layout_.insert(layout_.end(), lines.begin(), lines.end());
  layoutFailed_ = layoutFailed_ || failed;
}

// The truth beneath "Encoding Finished!", in the log, and in the message
// unless the computer shuts down. The log and the shutdown are as the window
// shows them now.
void BatchStatus::BatchFinished(BatchForm& form) {
  const std::vector<std::string> parts[] = {
      NotMadeLines(notMade_, jobs_),
      ListedLines(std::to_string(wontPlay_.size()) + " of " + std::to_string(tracks_) + " tracks will not play as " +
                      ModeName(mode_) + ":",
                  wontPlay_),
      layout_};
  std::string text = kFinishedText;
  std::vector<std::string> log;
  for (const std::vector<std::string>& part : parts) {
    if (part.empty()) continue;
    if (!log.empty()) log.emplace_back();
    text += "\n";
    for (const std::string& line : part) {
      text += "\n" + line;
      log.push_back(line);
    }
  }
  const JobSettings settings = form.ReadJobSettings();
  if (!log.empty() && LoggingActive(settings.UseLogfile, settings.LogfileText)) {
    AppendLogLines(files_, clock_, settings.LogfileText, log, true);
  }
  if (settings.Shutdown) {
    form.ShutdownComputer();
    return;
  }
  form.ShowFinishedMessage(text, !notMade_.empty() || !wontPlay_.empty() || layoutFailed_);
}

}  // namespace kavrin
