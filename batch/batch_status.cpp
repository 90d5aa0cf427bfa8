#include "batch/batch_status.hpp"

#include "batch/log_file.hpp"

namespace kavrin {

std::vector<std::string> NotMadeLines(const std::vector<std::string>& notMade, int jobs) {
  if (notMade.empty()) return {};
  std::vector<std::string> lines = {std::to_string(notMade.size()) + " of " + std::to_string(jobs) +
                                    " tracks were not made:"};
  for (std::size_t i = 0; i < notMade.size() && i < kNotMadeListed; ++i) lines.push_back(notMade[i]);
  if (notMade.size() > kNotMadeListed)
    lines.push_back("and " + std::to_string(notMade.size() - kNotMadeListed) + " more");
  return lines;
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

// The truth beneath "Encoding Finished!": the tracks that were not made, in
// the log, and in the message unless the computer shuts down. The log and
// the shutdown are as the window shows them now.
void BatchStatus::BatchFinished(BatchForm& form) {
  const std::vector<std::string> lines = NotMadeLines(notMade_, jobs_);
  const JobSettings settings = form.ReadJobSettings();
  if (!lines.empty() && LoggingActive(settings.UseLogfile, settings.LogfileText)) {
    AppendLogLines(files_, clock_, settings.LogfileText, lines, true);
  }
  if (settings.Shutdown) {
    form.ShutdownComputer();
    return;
  }
  std::string text = kFinishedText;
  if (!lines.empty()) text += "\n";
  for (const std::string& line : lines) text += "\n" + line;
  form.ShowFinishedMessage(text, !lines.empty());
}

}  // namespace kavrin
