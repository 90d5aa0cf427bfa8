#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "batch/batch_form.hpp"
#include "batch/batch_progress.hpp"
#include "batch/job_settings.hpp"
#include "platform/clock.hpp"
#include "platform/file_system.hpp"
#include "platform/taskbar_progress.hpp"

namespace kavrin {

inline constexpr const char* kFinishedText = "Encoding Finished!";
// Tracks listed by name in the finished message; the rest are counted.
inline constexpr std::size_t kNotMadeListed = 10;

// `heading`, then one line for each up to kNotMadeListed, then "and M more".
// Empty without lines.
std::vector<std::string> ListedLines(const std::string& heading, const std::vector<std::string>& lines);

// "K of N tracks were not made:", one line for each (its input, and its
// stream for a ".vob" entry) up to kNotMadeListed, then "and M more". Empty
// when every track was made.
std::vector<std::string> NotMadeLines(const std::vector<std::string>& notMade, int jobs);

// The one outlet of what a batch reports, made once per batch: the log file,
// the taskbar button's progress, and the end beneath "Encoding Finished!".
// The batch and its encoder stage tell it what happens; it alone decides
// where that goes.
class BatchStatus {
 public:
  BatchStatus(FileStore& files, Clock& clock, TaskbarProgress* taskbar, BatchMode mode)
      : files_(files), clock_(clock), progress_(taskbar), mode_(mode) {}

  // The jobs the batch has, counted only where the progress shows.
  void BatchStarted(const std::function<int()>& countJobs) { progress_.Start(countJobs); }

  // A job has read the window: whether its lines go to a log, and to which,
  // is decided here, once for the job.
  void JobStarted(const JobSettings& settings);
  // The empty line before the transcoder's own report.
  void TranscoderStarting();
  // The encoder stage's blocks around its work, and why a job was lost.
  void EncoderStarted();
  void EncoderEnded();
  void JobNote(const std::string& line);
  // The job is over: made, or named at the end by `description`.
  void JobFinished(const std::string& description, bool made);
  // A track made, as a receiver would read it: one that would not play is
  // named at the end with `problem`.
  void TrackChecked(const std::string& name, const std::string& problem);
  // What writing a folder's disc layout says; `failed` when a layout was
  // not written.
  void LayoutWritten(const std::vector<std::string>& lines, bool failed);

  // The end, as the window reads now: "Encoding Finished!", then each part
  // that has lines, after a blank line: the tracks not made, the tracks that
  // will not play, the disc layouts. The parts go to the log, then the
  // finished box shows them, or the computer shuts down.
  void BatchFinished(BatchForm& form);

 private:
  FileStore& files_;
  Clock& clock_;
  BatchProgress progress_;
  std::optional<std::string> log_;  // the current job's log field, when it logs
  BatchMode mode_;
  int jobs_ = 0;
  std::vector<std::string> notMade_;
  int tracks_ = 0;
  std::vector<std::string> wontPlay_;  // "DTS-Track-004.wav: no DTS stream"
  std::vector<std::string> layout_;
  bool layoutFailed_ = false;
};

}  // namespace kavrin
