#pragma once

#include "batch/batch_status.hpp"
#include "batch/job.hpp"

namespace kavrin {

// What a batch asks of the DTS encoder automation. The batch creates the
// window list before anything else and releases it at the end of every run;
// in DTS-CD mode it backs the encoder options up first, prepares each job
// before its transcoder run, runs the encoder stage after it, and restores
// the options after the last job, also when the run stops on an error. The
// stage reports through the batch's status.
class EncoderStage {
 public:
  virtual ~EncoderStage() = default;

  virtual void CreateWindowList() = 0;
  virtual void ReleaseWindowList() = 0;

  virtual void BackupEncoderOptions() = 0;
  // Clears the job's intermediate names, so that nothing of an earlier job is
  // taken for this one's. False when one cannot be cleared: the job is lost.
  virtual bool PrepareSurCodeJob(const Job& job, BatchStatus& status) = 0;
  // True when the job's output was produced; false when the stage skipped it.
  virtual bool RunSurCodeJob(const Job& job, BatchStatus& status) = 0;
  virtual void RestoreEncoderOptions() = 0;
  // The session ends and the program with it: the options go back at once,
  // without waiting for any encoder.
  virtual void RestoreEncoderOptionsNow() = 0;
};

}  // namespace kavrin
