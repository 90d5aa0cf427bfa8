#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "batch/batch_form.hpp"
#include "batch/batch_status.hpp"
#include "batch/besweet_command_line.hpp"
#include "batch/encoder_stage.hpp"
#include "batch/track_check.hpp"
#include "batch/track_names.hpp"
#include "core/error.hpp"
#include "platform/batch_session.hpp"
#include "platform/clock.hpp"
#include "platform/file_system.hpp"
#include "platform/folders.hpp"
#include "platform/message_pump.hpp"
#include "platform/process.hpp"
#include "platform/taskbar_progress.hpp"

namespace kavrin {

struct BatchServices {
  ProcessLauncher& Launcher;
  FileLookup& Lookup;
  FileStore& Files;
  Clock& Time;
  MessagePump& Pump;
  EncoderStage& Encoder;
  // Shows the batch's progress when given.
  TaskbarProgress* Taskbar = nullptr;
  // One batch at a time across instances, and the machine awake, when given.
  BatchSession* Session = nullptr;
  // The folders are checked before anything starts, when both are given.
  Folders* Dirs = nullptr;
  ErrorTexts* Errors = nullptr;
};

// One job of a batch: an entry, and for a ".vob" entry one selected stream.
struct JobSpot {
  int Entry;
  std::string Path;
  std::optional<int> Stream;
};

// Calls `job` for each job of the list: one for every entry that is not a
// ".vob" file, one for each selected stream of a ".vob" entry. The entry
// count is taken at the start; each entry and stream is read just before its
// job, so a choice made during an earlier job counts. The walk ends where the
// list no longer has a position.
void ForEachJob(BatchForm& form, const std::function<void(const JobSpot&)>& job);

// The jobs a batch would run over the list as it stands.
int CountJobs(BatchForm& form);

// The batch behind "Go". One object lives as long as the window.
class BatchRunner {
 public:
  explicit BatchRunner(const BatchServices& services) : services_(services) {}

  // Runs one batch to its end: the finished message, or the shutdown. A press
  // while a batch runs (from inside one of its waits) does nothing and gives
  // false. A folder that cannot take the batch's files stops it before
  // anything starts, with a KavrinError that says why. Errors of a step
  // (KavrinError) propagate after the encoder options are restored and the
  // window list is released.
  bool Run(BatchForm& form);

  bool Running() const { return running_; }

  // The session ends (WM_ENDSESSION) while a batch runs: the encoder's
  // options go back at once and no further job starts.
  void EndSession();

 private:
  struct Batch {
    BatchForm& Form;
    BatchMode Mode;
    BatchStatus& Status;
    std::string TrackName;
    std::uint32_t ExitCode = 0;
    // The tracks made, as a receiver would read them, by folder and name.
    std::map<std::string, std::map<std::string, TrackVerdict>> Checked{};
  };

  void CheckFolders(BatchForm& form, BatchMode mode, const std::string& trackName);
  void RunWithEncoderStage(Batch& run);
  void RunEntries(Batch& batch);
  // False when the job's track was not made: the transcoder could not be
  // started, the encoder stage skipped the job, or the track is missing.
  bool RunJob(Batch& batch, const JobSpot& spot);
  void CheckMadeTrack(Batch& batch, const std::string& folder, const std::string& track);
  // Every folder that got a track that plays gets its discs' layout.
  void WriteLayouts(Batch& batch);

  BatchServices services_;
  bool running_ = false;
  bool sessionEnded_ = false;
  BatchMode mode_ = BatchMode::None;
};

}  // namespace kavrin
