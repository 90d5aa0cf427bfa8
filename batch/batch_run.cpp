#include "batch/batch_run.hpp"

#include <algorithm>

#include "batch/disc_layout.hpp"
#include "batch/process_runner.hpp"
#include "core/scoped_flag.hpp"
#include "core/text.hpp"
#include "inputlist/vob_file.hpp"

namespace kavrin {

namespace {

// The longest path the system's ANSI calls take, its terminating zero included.
constexpr std::size_t kMaxPath = 260;

// Why `folder` cannot take a batch's files, or "" when it can. `longestPath`
// is the longest name the batch gives a file there, the folder included.
std::string FolderRefusal(Folders& folders, ErrorTexts& errors, const std::string& field, const std::string& folder,
                          const std::string& longestPath) {
  if (longestPath.size() >= kMaxPath) {
    return "The path of the " + field + " is too long: Kavrin's files in it would have paths of " +
           std::to_string(longestPath.size()) + " characters, and Windows takes " + std::to_string(kMaxPath - 1) +
           ":\n" + folder;
  }
  std::uint32_t code = 0;
  switch (folders.CanCreateFilesIn(folder, code)) {
    case Folders::NewFiles::Allowed:
      break;
    case Folders::NewFiles::FolderMissing:
      return "The " + field + " does not exist:\n" + folder;
    case Folders::NewFiles::NotAFolder:
      return "The " + field + " is a file, not a folder:\n" + folder;
    case Folders::NewFiles::Refused:
      return "Kavrin cannot create files in the " + field + ":\n" + folder + "\n" + errors.SystemErrorText(code);
  }
  return std::string();
}

// Held for exactly as long as the batch's work, however it ends: the lock
// taken before, the machine kept awake.
class SessionHold {
 public:
  explicit SessionHold(BatchSession* session) : session_(session) {
    if (session_ != nullptr) session_->KeepAwake(true);
  }
  ~SessionHold() {
    if (session_ == nullptr) return;
    session_->KeepAwake(false);
    session_->Unlock();
  }
  SessionHold(const SessionHold&) = delete;
  SessionHold& operator=(const SessionHold&) = delete;

 private:
  BatchSession* session_;
};

}  // namespace

void ForEachJob(BatchForm& form, const std::function<void(const JobSpot&)>& job) {
  const int entryCount = form.InputEntryCount();
  for (int entry = 0; entry < entryCount; ++entry) {
    std::string path;
    if (!form.InputEntryText(entry, path)) return;
    if (!IsVobFile(path)) {
      job({entry, path, std::nullopt});
      continue;
    }
    for (int stream = 0; stream < kStreamCount; ++stream) {
      bool selected = false;
      if (!form.InputEntryStream(entry, stream, selected)) return;
      if (selected) job({entry, path, stream});
    }
  }
}

int CountJobs(BatchForm& form) {
  int jobs = 0;
  ForEachJob(form, [&jobs](const JobSpot&) { ++jobs; });
  return jobs;
}

bool BatchRunner::Run(BatchForm& form) {
  // The window list and the encoder's saved options exist once: a second
  // press of "Go" inside a running batch's wait must not start another.
  if (running_) return false;
  // Nor may another instance's batch run beside this one.
  if (services_.Session != nullptr && !services_.Session->TryLock()) {
    form.ShowAnotherBatchRunning();
    return false;
  }
  // Running for exactly as long as the batch runs, however it ends.
  ScopedFlag flag(running_);
  sessionEnded_ = false;
  mode_ = form.ReadMode();
  // Its progress is cleared on leaving, after the finished message or on an
  // error.
  BatchStatus status(services_.Files, services_.Time, services_.Taskbar, mode_);
  Batch run{form, mode_, status, TrackName(mode_)};
  {
    const SessionHold hold(services_.Session);
    CheckFolders(form, run.Mode, run.TrackName);
    RunWithEncoderStage(run);
    WriteLayouts(run);
  }
  status.BatchFinished(form);
  return true;
}

// The window list around the whole batch, and in DTS-CD mode the encoder's
// saved options, which come back whatever stopped the run: the first error
// is the one to show.
void BatchRunner::RunWithEncoderStage(Batch& run) {
  EncoderStage& encoder = services_.Encoder;
  const bool dts = run.Mode == BatchMode::DtsCd;
  encoder.CreateWindowList();
  try {
    if (dts) encoder.BackupEncoderOptions();
    try {
      RunEntries(run);
    } catch (...) {
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
}

void BatchRunner::EndSession() {
  if (!running_) return;
  sessionEnded_ = true;
  // Nobody would see an error now; the program is about to be ended.
  try {
    if (mode_ == BatchMode::DtsCd) services_.Encoder.RestoreEncoderOptionsNow();
  } catch (...) {
  }
}

// A folder that cannot take the jobs' files would lose every job, in DTS-CD
// mode each only after its transcoding: then nothing starts, and the user,
// who is still there, is told why.
void BatchRunner::CheckFolders(BatchForm& form, BatchMode mode, const std::string& trackName) {
  if (services_.Dirs == nullptr || services_.Errors == nullptr || mode == BatchMode::None) return;
  const JobSettings settings = form.ReadJobSettings();
  const std::string finalFolder = UnquotedFieldText(settings.FinalFolderText);
  std::string refusal = FolderRefusal(*services_.Dirs, *services_.Errors, "\"Final Output Folder\"", finalFolder,
                                      OutputFileName(finalFolder, trackName, 1));
  if (refusal.empty() && mode == BatchMode::DtsCd) {
    const std::string tempFolder = UnquotedFieldText(settings.TempFolderText);
    // The longest name of the transcoder's six mono files.
    refusal = FolderRefusal(*services_.Dirs, *services_.Errors, "\"BeSweet Temp Folder\"", tempFolder,
                            WithTrailingDelimiter(tempFolder) + "monoLFE.WAV");
  }
  if (!refusal.empty()) throw KavrinError(refusal + "\n\nNothing was started.");
}

void BatchRunner::RunEntries(Batch& batch) {
  batch.Status.BatchStarted([&batch] { return CountJobs(batch.Form); });
  ForEachJob(batch.Form, [&](const JobSpot& job) {
    if (sessionEnded_) return;
    const bool made = RunJob(batch, job);
    batch.Status.JobFinished(job.Stream ? job.Path + " (stream " + StreamName(*job.Stream) + ")" : job.Path, made);
  });
}

bool BatchRunner::RunJob(Batch& batch, const JobSpot& spot) {
  // The job reads the window once, here, and its folders and number are
  // fixed here, for the transcoder and the encoder stage alike; a change
  // applies from the next job on. A folder pasted with its quotes names the
  // folder inside them.
  Job job{batch.Mode, batch.TrackName, 1, spot.Entry, spot.Path, spot.Stream, {}, {}, batch.Form.ReadJobSettings()};
  job.TempFolder = UnquotedFieldText(job.Settings.TempFolderText);
  job.FinalFolder = UnquotedFieldText(job.Settings.FinalFolderText);
  batch.Status.JobStarted(job.Settings);
  // The system drops a name's last dots and blanks: the transcoder would read
  // another file of the shorter name, or none.
  if (!spot.Path.empty() && (spot.Path.back() == '.' || spot.Path.back() == ' ')) {
    batch.Status.JobNote(spot.Path + " cannot be opened by its name, which ends in a dot or a blank - job skipped");
    return false;
  }
  const std::optional<int> outputNumber = FindFreeOutputNumber(services_.Lookup, job.FinalFolder, job.TrackName);
  // A number that only seems free would have the transcoder write over a track.
  if (!outputNumber) {
    batch.Status.JobNote("Cannot look up the tracks in " + job.FinalFolder + " - job skipped");
    return false;
  }
  job.OutputNumber = *outputNumber;
  const bool dts = batch.Mode == BatchMode::DtsCd;
  if (dts && !services_.Encoder.PrepareSurCodeJob(job, batch.Status)) return false;

  batch.Status.TranscoderStarting();
  const std::string commandLine = BeSweetCommandLine(job.Settings.BeSweetPath, BeSweetArguments(job));
  if (!RunAndWait(services_.Launcher, commandLine, services_.Time, services_.Pump, batch.ExitCode)) return false;

  // Without a mode there is no track to look for.
  if (batch.Mode == BatchMode::None) return true;
  // After the session's end the options are back: no job may change them.
  if (dts && (sessionEnded_ || !services_.Encoder.RunSurCodeJob(job, batch.Status))) return false;
  // A transcoder that failed writes nothing, whatever its exit code says.
  const std::string track = TrackFileName(job);
  if (services_.Lookup.Look(track) != FileLookup::Presence::Present) return false;
  CheckMadeTrack(batch, job.FinalFolder, track);
  return true;
}

void BatchRunner::CheckMadeTrack(Batch& batch, const std::string& folder, const std::string& track) {
  // The track stays as it is, whatever a receiver would make of it.
  const TrackVerdict verdict = CheckTrack(services_.Files, batch.Mode, track);
  const std::string name = ExtractFileName(track);
  batch.Status.TrackChecked(name, verdict.Problem);
  batch.Checked[folder][name] = verdict;
}

void BatchRunner::WriteLayouts(Batch& batch) {
  if (services_.Dirs == nullptr || sessionEnded_) return;
  for (const auto& [folder, tracks] : batch.Checked) {
    if (std::none_of(tracks.begin(), tracks.end(), [](const auto& track) { return track.second.Problem.empty(); })) {
      continue;
    }
    const LayoutReport report =
        WriteDiscLayout(*services_.Dirs, services_.Files, batch.Mode, batch.TrackName, folder, tracks);
    batch.Status.LayoutWritten(report.Lines, report.Failed);
  }
}

}  // namespace kavrin
