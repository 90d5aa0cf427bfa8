#include "batch/batch_run.hpp"

#include "batch/log_file.hpp"
#include "batch/process_runner.hpp"
#include "core/scoped_flag.hpp"
#include "inputlist/vob_file.hpp"

namespace kavrin {

namespace {

BeSweetFields ReadBeSweetFields(BatchForm& form) {
  BeSweetFields fields;
  fields.TempFolder = form.BeSweetTempFolderText();
  fields.FinalOutputFolder = form.FinalOutputFolderText();
  fields.UseLogfile = form.UseLogfileChecked();
  fields.LogfileText = form.LogfileText();
  fields.Normalize = form.NormalizeChecked();
  fields.Azid = form.AzidText();
  fields.Ota = form.OtaText();
  fields.Ssrc = form.SsrcText();
  fields.SsrcFixed = form.SsrcFixedText();
  fields.Boost = form.BoostText();
  return fields;
}

}  // namespace

BatchMode ReadBatchMode(BatchForm& form) {
  if (form.DtsCdChecked()) return BatchMode::DtsCd;
  if (form.Ac3CdChecked()) return BatchMode::Ac3Cd;
  if (form.CddaChecked()) return BatchMode::Cdda;
  return BatchMode::None;
}

int LastStreamIndex(const std::string& path) { return IsVobFile(path) ? kStreamCount - 1 : 0; }

int FindFreeOutputNumber(FileLookup& lookup, const std::string& finalOutputFolder, const std::string& trackName) {
  int number = 1;
  while (lookup.Exists(OutputFileName(finalOutputFolder, trackName, number))) ++number;
  return number;
}

bool BatchRunner::Run(BatchForm& form) {
  // The window list and the encoder's saved options exist once: a second
  // press of "Go" inside a running batch's wait must not start another.
  if (running_) return false;
  // Running for exactly as long as the batch runs, however it ends.
  ScopedFlag flag(running_);
  // Cleared on leaving, after the finished message or on an error.
  BatchProgress progress(services_.Taskbar);

  EncoderStage& encoder = services_.Encoder;
  encoder.CreateWindowList();
  try {
    Batch batch{form, ReadBatchMode(form), progress, std::string()};
    const bool dts = batch.Mode == BatchMode::DtsCd;
    if (dts) encoder.BackupEncoderOptions();
    batch.TrackName = TrackName(batch.Mode);
    try {
      RunEntries(batch);
    } catch (...) {
      // The user's encoder options must come back whatever stopped the run;
      // the first error is the one to show.
      if (dts) {
        try {
          encoder.RestoreEncoderOptions();
        } catch (...) {
        }
      }
      throw;
    }
    if (dts) encoder.RestoreEncoderOptions();
  } catch (...) {
    encoder.ReleaseWindowList();
    throw;
  }
  encoder.ReleaseWindowList();

  if (form.ShutdownChecked()) {
    form.ShutdownComputer();
  } else {
    form.ShowFinishedMessage();
  }
  return true;
}

void BatchRunner::RunEntries(Batch& batch) {
  batch.Progress.Start(batch.Form);
  ForEachJob(batch.Form,
             [&](const JobSpot& job) { batch.Progress.JobDone(RunJob(batch, job.Entry, job.Path, job.Stream)); });
}

bool BatchRunner::RunJob(Batch& batch, int entryIndex, const std::string& inputPath, std::optional<int> streamIndex) {
  BatchForm& form = batch.Form;
  const int outputNumber = FindFreeOutputNumber(services_.Lookup, form.FinalOutputFolderText(), batch.TrackName);

  const BeSweetJob job{batch.Mode, batch.TrackName, inputPath, streamIndex, outputNumber};
  const std::string arguments = BeSweetArguments(job, ReadBeSweetFields(form));

  if (LoggingActive(form.UseLogfileChecked(), form.LogfileText())) {
    AppendPreRunLine(services_.Files, form.LogfileText());
  }

  const std::string commandLine = BeSweetCommandLine(form.BeSweetFileName(), arguments);
  // A transcoder that cannot be started loses its job without a word.
  if (!RunAndWait(services_.Launcher, commandLine, services_.Time, services_.Pump, batch.ExitCode)) return false;

  if (batch.Mode != BatchMode::DtsCd) return true;
  return services_.Encoder.RunSurCodeJob(batch.TrackName, outputNumber, entryIndex + 1);
}

}  // namespace kavrin
