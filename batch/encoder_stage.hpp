#pragma once

#include <string>

namespace kavrin {

// What a batch asks of the DTS encoder automation. The batch creates the
// window list before anything else and releases it at the end of every run;
// in DTS-CD mode it backs the encoder options up first, runs the encoder
// stage after each job's transcoder run, and restores the options after the
// last job, also when the run stops on an error.
class EncoderStage {
 public:
  virtual ~EncoderStage() = default;

  virtual void CreateWindowList() = 0;
  virtual void ReleaseWindowList() = 0;

  virtual void BackupEncoderOptions() = 0;
  // `inputPosition` counts the job's list entry from 1. True when the job's
  // output was produced; false when the stage skipped it.
  virtual bool RunSurCodeJob(const std::string& trackName, int outputNumber, int inputPosition) = 0;
  virtual void RestoreEncoderOptions() = 0;
};

}  // namespace kavrin
