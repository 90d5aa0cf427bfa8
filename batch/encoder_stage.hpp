#pragma once

#include <string>

#include "batch/job_settings.hpp"

namespace kavrin {

// One DTS-CD job as the batch fixed it when the job started: a field changed
// later applies from the next job on.
struct SurCodeJob {
  std::string TrackName;
  int OutputNumber = 1;
  int InputPosition = 1;   // the job's list entry, counted from 1
  std::string TempFolder;  // the folder fields as names: trimmed, unquoted
  std::string FinalFolder;
  JobSettings Settings;  // the encoder's path and the log come from here
};

// What a batch asks of the DTS encoder automation. The batch creates the
// window list before anything else and releases it at the end of every run;
// in DTS-CD mode it backs the encoder options up first, prepares each job
// before its transcoder run, runs the encoder stage after it, and restores
// the options after the last job, also when the run stops on an error.
class EncoderStage {
 public:
  virtual ~EncoderStage() = default;

  virtual void CreateWindowList() = 0;
  virtual void ReleaseWindowList() = 0;

  virtual void BackupEncoderOptions() = 0;
  // Clears the job's intermediate names, so that nothing of an earlier job is
  // taken for this one's. False when one cannot be cleared: the job is lost.
  virtual bool PrepareSurCodeJob(const SurCodeJob& job) = 0;
  // True when the job's output was produced; false when the stage skipped it.
  virtual bool RunSurCodeJob(const SurCodeJob& job) = 0;
  virtual void RestoreEncoderOptions() = 0;
  // The session ends and the program with it: the options go back at once,
  // without waiting for any encoder.
  virtual void RestoreEncoderOptionsNow() = 0;
};

}  // namespace kavrin
