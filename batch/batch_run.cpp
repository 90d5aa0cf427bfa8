#include "batch/batch_run.hpp"

#include "batch/log_file.hpp"
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

BeSweetFields BeSweetFieldsOf(const JobSettings& settings, const std::string& tempFolder,
                              const std::string& finalFolder) {
  BeSweetFields fields;
  fields.TempFolder = tempFolder;
  fields.FinalOutputFolder = finalFolder;
  fields.UseLogfile = settings.UseLogfile;
  fields.LogfileText = settings.LogfileText;
  fields.Normalize = settings.Normalize;
  fields.Azid = settings.Azid;
  fields.Ota = settings.Ota;
  fields.Ssrc = settings.Ssrc;
  fields.SsrcFixed = settings.SsrcFixed;
  fields.Boost = settings.Boost;
  return fields;
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

std::vector<std::string> NotMadeLines(const std::vector<std::string>& notMade, int jobs) {
  if (notMade.empty()) return {};
  std::vector<std::string> lines = {std::to_string(notMade.size()) + " of " + std::to_string(jobs) +
                                    " tracks were not made:"};
  for (std::size_t i = 0; i < notMade.size() && i < kNotMadeListed; ++i) lines.push_back(notMade[i]);
  if (notMade.size() > kNotMadeListed)
    lines.push_back("and " + std::to_string(notMade.size() - kNotMadeListed) + " more");
  return lines;
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
  // Cleared on leaving, after the finished message or on an error.
  BatchProgress progress(services_.Taskbar);
  Batch run{form, mode_, progress, TrackName(mode_)};
  {
    const SessionHold hold(services_.Session);
    CheckFolders(form, run.Mode, run.TrackName);
    EncoderStage& encoder = services_.Encoder;
    encoder.CreateWindowList();
    try {
      const bool dts = run.Mode == BatchMode::DtsCd;
      if (dts) encoder.BackupEncoderOptions();
      try {
        RunEntries(run);
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
  }
  Finish(form, run.Jobs, run.NotMade);
  return true;
}

// The truth beneath "Encoding Finished!": the tracks that were not made, in
// the log, and in the message unless the computer shuts down.
void BatchRunner::Finish(BatchForm& form, int jobs, const std::vector<std::string>& notMade) {
  const std::vector<std::string> lines = NotMadeLines(notMade, jobs);
  // Read afresh: the log and the shutdown are as the window shows them now.
  const JobSettings settings = form.ReadJobSettings();
  if (!lines.empty()) LogLine(settings, lines);
  if (settings.Shutdown) {
    form.ShutdownComputer();
    return;
  }
  std::string text = kFinishedText;
  if (!lines.empty()) text += "\n";
  for (const std::string& line : lines) text += "\n" + line;
  form.ShowFinishedMessage(text, !lines.empty());
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

void BatchRunner::LogLine(const JobSettings& settings, const std::vector<std::string>& lines) {
  if (LoggingActive(settings.UseLogfile, settings.LogfileText)) {
    AppendLogLines(services_.Files, services_.Time, settings.LogfileText, lines, true);
  }
}

void BatchRunner::RunEntries(Batch& batch) {
  batch.Progress.Start([&batch] { return CountJobs(batch.Form); });
  ForEachJob(batch.Form, [&](const JobSpot& job) {
    if (sessionEnded_) return;
    ++batch.Jobs;
    const bool made = RunJob(batch, job);
    if (!made) batch.NotMade.push_back(job.Stream ? job.Path + " (stream " + StreamName(*job.Stream) + ")" : job.Path);
    batch.Progress.JobDone(made);
  });
}

bool BatchRunner::RunJob(Batch& batch, const JobSpot& spot) {
  // The job reads the window once, here, and its folders and number are
  // fixed here, for the transcoder and the encoder stage alike; a change
  // applies from the next job on. A folder pasted with its quotes names the
  // folder inside them.
  const JobSettings settings = batch.Form.ReadJobSettings();
  const std::string tempFolder = UnquotedFieldText(settings.TempFolderText);
  const std::string finalFolder = UnquotedFieldText(settings.FinalFolderText);
  // The system drops a name's last dots and blanks: the transcoder would read
  // another file of the shorter name, or none.
  if (!spot.Path.empty() && (spot.Path.back() == '.' || spot.Path.back() == ' ')) {
    LogLine(settings, {spot.Path + " cannot be opened by its name, which ends in a dot or a blank - job skipped"});
    return false;
  }
  const std::optional<int> outputNumber = FindFreeOutputNumber(services_.Lookup, finalFolder, batch.TrackName);
  // A number that only seems free would have the transcoder write over a track.
  if (!outputNumber) {
    LogLine(settings, {"Cannot look up the tracks in " + finalFolder + " - job skipped"});
    return false;
  }
  const SurCodeJob encoderJob{batch.TrackName, *outputNumber, spot.Entry + 1, tempFolder, finalFolder, settings};
  const bool dts = batch.Mode == BatchMode::DtsCd;
  if (dts && !services_.Encoder.PrepareSurCodeJob(encoderJob)) return false;

  const BeSweetJob job{batch.Mode, batch.TrackName, spot.Path, spot.Stream, *outputNumber};
  const std::string arguments = BeSweetArguments(job, BeSweetFieldsOf(settings, tempFolder, finalFolder));

  if (LoggingActive(settings.UseLogfile, settings.LogfileText)) {
    AppendPreRunLine(services_.Files, services_.Time, settings.LogfileText);
  }

  const std::string commandLine = BeSweetCommandLine(settings.BeSweetPath, arguments);
  if (!RunAndWait(services_.Launcher, commandLine, services_.Time, services_.Pump, batch.ExitCode)) return false;

  // Without a mode there is no track to look for.
  if (batch.Mode == BatchMode::None) return true;
  // After the session's end the options are back: no job may change them.
  if (dts && (sessionEnded_ || !services_.Encoder.RunSurCodeJob(encoderJob))) return false;
  // A transcoder that failed writes nothing, whatever its exit code says.
  return services_.Lookup.Look(OutputFileName(finalFolder, batch.TrackName, *outputNumber)) ==
         FileLookup::Presence::Present;
}

}  // namespace kavrin
