#include "encoder/encoder_automation.hpp"

#include <algorithm>

#include "batch/track_names.hpp"
#include "core/text.hpp"

namespace kavrin {

namespace {

std::string Skipped(const char* prefix, const std::string& name) { return prefix + name + " - job skipped"; }

}  // namespace

EncoderAutomation::EncoderAutomation(const EncoderServices& services)
    : services_(services),
      finder_(services.Windows, services.Pump, services.Time),
      options_(
          services.Options, services.Files, services.Errors,
          [this] { return WithTrailingDelimiter(ExtractFileDir(services_.Program.ExecutablePath())); },
          services.Notify) {}

void EncoderAutomation::CreateWindowList() { finder_.CreateWindowList(); }

void EncoderAutomation::ReleaseWindowList() { finder_.ClearWindowList(true); }

void EncoderAutomation::BackupEncoderOptions() {
  closing_.clear();
  options_.BackupEncoderOptions();
}

// An encoder that saves its options when it closes would undo the restore,
// so the restore waits, for a while, until the encoders asked to close are gone.
void EncoderAutomation::RestoreEncoderOptions() {
  for (int wait = 0; wait < kEncoderCloseWaits; ++wait) {
    if (std::none_of(closing_.begin(), closing_.end(),
                     [this](WindowHandle window) { return services_.Windows.Exists(window); })) {
      break;
    }
    services_.Time.Sleep(100);
    services_.Pump.ProcessMessages();
  }
  closing_.clear();
  options_.RestoreEncoderOptions();
}

void EncoderAutomation::RestoreEncoderOptionsNow() { options_.RestoreEncoderOptions(); }

bool EncoderAutomation::Cleared(const std::string& path) {
  return services_.Files.Remove(path) || services_.Lookup.Look(path) == FileLookup::Presence::Absent;
}

// The transcoder writes the six mono files under the same names for every
// job: those of an earlier job must not be taken for this one's.
bool EncoderAutomation::PrepareSurCodeJob(const Job& job, BatchStatus& status) {
  for (const std::string_view channel : ChannelFileNames) {
    const std::string mono = MonoFileName(job, channel);
    if (!Cleared(mono)) {
      status.JobNote(Skipped(kCannotDeletePrefix, mono));
      return false;
    }
  }
  return true;
}

bool EncoderAutomation::RunSurCodeJob(const Job& job, BatchStatus& status) {
  if (!ReadyToEncode(job, status)) return false;
  const ForeignEncoders foreign = NoteForeignEncoders();
  const std::string encoderPath = job.Settings.SurCodePath;
  const std::string encoderFolder = ExtractFileDir(encoderPath);
  // An empty folder would make the start fail; a bare name starts in our folder.
  const std::unique_ptr<ChildProcess> encoder =
      services_.Launcher.Start(encoderPath, WithTrailingDelimiter(ProgramFolder()) + "surcode.ssf",
                               encoderFolder.empty() ? std::nullopt : std::optional<std::string>(encoderFolder));
  if (!encoder) return false;

  status.EncoderStarted();
  const JobOutcome outcome = Encode(job, *encoder, foreign);
  encoder->CloseHandles();
  // The mono files of a job that produced nothing stay for a second try.
  if (outcome == JobOutcome::Encoded) {
    for (const std::string_view channel : ChannelFileNames) services_.Files.Remove(MonoFileName(job, channel));
  }
  if (const char* line = OutcomeLine(outcome)) status.JobNote(line);
  status.EncoderEnded();
  return outcome == JobOutcome::Encoded;
}

// Everything the encoder takes from the job is in place, and nothing of an
// earlier run can be taken for its output.
bool EncoderAutomation::ReadyToEncode(const Job& job, BatchStatus& status) {
  // A transcoder that failed leaves nothing to encode; the encoder would
  // show an error box and the batch would wait behind it.
  for (const std::string_view channel : ChannelFileNames) {
    const std::string mono = MonoFileName(job, channel);
    if (services_.Lookup.Look(mono) != FileLookup::Presence::Present) {
      status.JobNote(Skipped(kNotWrittenPrefix, mono));
      return false;
    }
  }
  // An encoder started on options that are not this job's would encode
  // another job's files, or wait for ever for them.
  std::string refused;
  if (!options_.WriteJobOptions(job, ProgramFolder(), refused)) {
    status.JobNote(refused + " - job skipped");
    return false;
  }
  services_.Files.Remove(LeftoverName(job));
  // A file a killed run left under the temporary name would be taken for
  // this job's track at the first poll.
  if (!Cleared(EncoderOutputName(job))) {
    status.JobNote(Skipped(kCannotDeletePrefix, EncoderOutputName(job)));
    return false;
  }
  return true;
}

// Drives a window of the started encoder; where it handed over to another
// process and ended, one of a process that was not there before. Made or
// not, its windows are closed, so that nothing it shows later is taken by
// the next job.
EncoderAutomation::JobOutcome EncoderAutomation::Encode(const Job& job, ChildProcess& encoder,
                                                        const ForeignEncoders& foreign) {
  const auto ours = [&](WindowHandle window) {
    if (foreign.Windows.count(window) != 0) return false;
    const std::uint32_t process = services_.Windows.ProcessOf(window);
    if (process == 0) return false;
    if (process == encoder.Id()) return true;
    return foreign.Processes.count(process) == 0 && encoder.HasEnded();
  };
  JobOutcome outcome = JobOutcome::WindowNotFound;
  const WindowHandle window = FindEncoderWindow(ours, outcome);
  std::set<std::uint32_t> processes = {encoder.Id()};
  if (window != 0) {
    processes.insert(services_.Windows.ProcessOf(window));
    services_.Windows.Post(window, kWmCommand, kEncoderStartCommand, 0);
    outcome = AwaitOutput(window, EncoderOutputName(job), TrackFileName(job));
  }
  CloseEncoder(window, processes, foreign);
  return outcome;
}

const char* EncoderAutomation::OutcomeLine(JobOutcome outcome) {
  switch (outcome) {
    case JobOutcome::WindowNotFound:
      return kWindowNotFoundLine;
    case JobOutcome::StartupWindowStayed:
      return kStartupWindowStayedLine;
    case JobOutcome::EndedWithoutOutput:
      return kEndedWithoutOutputLine;
    case JobOutcome::NoProgress:
      return kNoProgressLine;
    case JobOutcome::Encoded:
      break;
  }
  return nullptr;
}

std::string EncoderAutomation::ProgramFolder() { return ExtractFileDir(services_.Program.ExecutablePath()); }

EncoderAutomation::ForeignEncoders EncoderAutomation::NoteForeignEncoders() {
  ForeignEncoders foreign;
  for (const WindowHandle window : finder_.WindowsTitled({kStartupWindowTitle, kEncoderWindowTitle})) {
    foreign.Windows.insert(window);
    const std::uint32_t process = services_.Windows.ProcessOf(window);
    if (process != 0) foreign.Processes.insert(process);
  }
  return foreign;
}

// Closes every start-up window that shows up; each one closed starts the
// count of attempts afresh. After each close the window is given time to go,
// so that one which stays costs no tight loop, and one that never goes ends
// the search.
WindowHandle EncoderAutomation::FindEncoderWindow(const WindowFinder::WindowFilter& ours, JobOutcome& outcome) {
  WindowHandle encoderWindow = 0;
  int attempts = 0;
  int closes = 0;
  do {
    const WindowHandle startup = finder_.FindWindowByTitle(kStartupWindowTitle, 1, true, ours);
    if (startup != 0) {
      if (closes == kStartupCloseLimit) {
        outcome = JobOutcome::StartupWindowStayed;
        return 0;
      }
      services_.Windows.Post(startup, kWmClose, 0, 0);
      ++closes;
      attempts = 0;
      services_.Pump.ProcessMessages();
      services_.Time.Sleep(kStartupClosePause);
    } else {
      encoderWindow = finder_.FindWindowByTitle(kEncoderWindowTitle, 1, true, ours);
    }
    ++attempts;
  } while (encoderWindow == 0 && attempts < kEncoderSearchAttempts);
  return encoderWindow;
}

void EncoderAutomation::CloseEncoder(WindowHandle window, const std::set<std::uint32_t>& processes,
                                     const ForeignEncoders& foreign) {
  // The window that got the start command goes first, whatever it shows now.
  std::vector<WindowHandle> windows;
  if (window != 0) windows.push_back(window);
  services_.Windows.EnumTopLevelWindows([&](WindowHandle each) {
    if (each == window || foreign.Windows.count(each) != 0 || !services_.Windows.IsVisible(each)) return;
    const std::uint32_t process = services_.Windows.ProcessOf(each);
    if (process != 0 && processes.count(process) != 0) windows.push_back(each);
  });
  for (const WindowHandle each : windows) {
    services_.Windows.Post(each, kWmClose, 0, 0);
    closing_.push_back(each);
  }
}

// The rename succeeds once the encoder has written and released its output.
// The window that got the start command is watched, not the started process:
// a launcher may hand the work on and end at once. Only when that window is
// gone and nothing is left under the temporary name can no output come; an
// encoder may create its file only at the end. An encoder that writes
// nothing for 10 minutes, or stops writing, is given up: the batch goes on.
EncoderAutomation::JobOutcome EncoderAutomation::AwaitOutput(WindowHandle window, const std::string& temporaryName,
                                                             const std::string& finalName) {
  std::optional<std::uint64_t> written;
  int idlePolls = 0;
  for (;;) {
    services_.Time.Sleep(1000);
    services_.Pump.ProcessMessages();
    if (services_.Files.RenameNoReplace(temporaryName, finalName)) return JobOutcome::Encoded;
    if (!services_.Windows.Exists(window) && !services_.Lookup.Exists(temporaryName)) {
      return JobOutcome::EndedWithoutOutput;
    }
    // Counted in polls, not by the clock, which the user may set back.
    const std::optional<std::uint64_t> size = OutputSize(temporaryName);
    if (size && (!written || *size > *written)) {
      written = size;
      idlePolls = 0;
    } else if (++idlePolls >= kOutputIdlePolls) {
      return JobOutcome::NoProgress;
    }
  }
}

std::optional<std::uint64_t> EncoderAutomation::OutputSize(const std::string& temporaryName) {
  const std::optional<std::uint64_t> whole = services_.Files.SizeOf(temporaryName);
  const std::optional<std::uint64_t> part = services_.Files.SizeOf(temporaryName + ".part");
  if (whole && part) return std::max(*whole, *part);
  return whole ? whole : part;
}

}  // namespace kavrin
