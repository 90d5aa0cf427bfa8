#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "batch/batch_form.hpp"
#include "batch/batch_progress.hpp"
#include "batch/besweet_command_line.hpp"
#include "batch/encoder_stage.hpp"
#include "platform/clock.hpp"
#include "platform/file_system.hpp"
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
};

// The first checked of rbDTSCD, rbAC3CD, rbCDDA.
BatchMode ReadBatchMode(BatchForm& form);

// 7 for a ".vob" entry in any letter case, 0 for every other.
int LastStreamIndex(const std::string& path);

// The lowest number from 1 whose output file name names no entry.
int FindFreeOutputNumber(FileLookup& lookup, const std::string& finalOutputFolder, const std::string& trackName);

// The batch behind "Go". One object lives as long as the window.
class BatchRunner {
 public:
  explicit BatchRunner(const BatchServices& services) : services_(services) {}

  // Runs one batch to its end: the finished message, or the shutdown. A press
  // while a batch runs (from inside one of its waits) does nothing and gives
  // false. Errors of a step (KavrinError) propagate after the encoder options
  // are restored and the window list is released.
  bool Run(BatchForm& form);

  bool Running() const { return running_; }

 private:
  struct Batch {
    BatchForm& Form;
    BatchMode Mode;
    BatchProgress& Progress;
    std::string TrackName;
    std::uint32_t ExitCode = 0;
  };

  void RunEntries(Batch& batch);
  // False when the job lost its output: the transcoder could not be started,
  // or the encoder stage skipped the job.
  bool RunJob(Batch& batch, int entryIndex, const std::string& inputPath, std::optional<int> streamIndex);

  BatchServices services_;
  bool running_ = false;
};

}  // namespace kavrin
