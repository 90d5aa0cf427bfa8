#pragma once

#include <functional>
#include <string>
#include <vector>

#include "batch/batch_form.hpp"
#include "batch/encoder_stage.hpp"
#include "inputlist/vob_file.hpp"

namespace kavrin::fakes {

// A transcoder and an encoder in their folders, temporary files in C:\Temp,
// tracks into D:\CD, the fixed rate; everything else off or empty.
JobSettings SampleSettings();

// The main window as a batch sees it: public fields stand for the controls.
class FakeBatchForm final : public BatchForm {
 public:
  BatchMode ReadMode() override { return FirstCheckedMode(dtsCd, ac3Cd, cdda); }
  JobSettings ReadJobSettings() override { return settings; }
  int InputEntryCount() override { return static_cast<int>(entries.size()); }
  bool InputEntryText(int index, std::string& text) override;
  bool InputEntryStream(int index, int stream, bool& selected) override;
  void ShowFinishedMessage(const std::string& text, bool warning) override;
  void ShowAnotherBatchRunning() override;
  void ShutdownComputer() override;

  // Appends an entry with the given streams selected.
  void AddEntry(const std::string& path, const std::vector<int>& streams = {});

  bool dtsCd = false;
  bool ac3Cd = false;
  bool cdda = false;
  // The fields as the window would show them; a new setting needs nothing here.
  JobSettings settings = SampleSettings();
  std::vector<TVobFile> entries;

  int finishedMessages = 0;
  std::string finishedText;  // the last finished message
  bool finishedWarning = false;
  int refusals = 0;  // "another batch is running"
  int shutdowns = 0;
  // Runs inside the finished message box, as a nested message loop would.
  std::function<void()> onFinishedMessage;
  std::vector<std::string>* journal = nullptr;
};

// Records the encoder stage calls; each can be told to throw.
class FakeEncoderStage final : public EncoderStage {
 public:
  void CreateWindowList() override;
  void ReleaseWindowList() override;
  void BackupEncoderOptions() override;
  bool PrepareSurCodeJob(const Job& job, BatchStatus& status) override;
  bool RunSurCodeJob(const Job& job, BatchStatus& status) override;
  void RestoreEncoderOptions() override;
  void RestoreEncoderOptionsNow() override;

  bool throwOnBackup = false;
  int throwOnJob = 0;  // the job number (from 1) that throws; 0 never
  int skipJob = 0;     // the job number (from 1) that produces no output; 0 never
  bool failPrepare = false;
  bool throwOnRestore = false;
  // Runs inside each job, e.g. to leave the final output file behind.
  std::function<void(const Job&)> onJob;

  int jobs = 0;
  std::vector<std::string>* journal = nullptr;
};

}  // namespace kavrin::fakes
