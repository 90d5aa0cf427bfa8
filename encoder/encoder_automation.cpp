#include "encoder/encoder_automation.hpp"

#include "batch/log_file.hpp"
#include "core/file_name_rules.hpp"
#include "core/text.hpp"

namespace kavrin {

EncoderAutomation::EncoderAutomation(const EncoderServices& services)
    : services_(services), finder_(services.Windows, services.Pump, services.Time), options_(services.Options) {}

void EncoderAutomation::CreateWindowList() { finder_.CreateWindowList(); }

void EncoderAutomation::ReleaseWindowList() { finder_.ClearWindowList(true); }

void EncoderAutomation::BackupEncoderOptions() { options_.BackupEncoderOptions(); }

void EncoderAutomation::WriteJobOptions(const std::string& trackName, int outputNumber) {
  options_.WriteJobOptions(CurrentFolders(), trackName, outputNumber);
}

void EncoderAutomation::RestoreEncoderOptions() { options_.RestoreEncoderOptions(); }

JobFolders EncoderAutomation::CurrentFolders() {
  return JobFolders{services_.Form.BeSweetTempFolderText(), services_.Form.FinalOutputFolderText(),
                    ExtractFileDir(services_.Program.ExecutablePath())};
}

bool EncoderAutomation::LoggingIsActive() {
  return LoggingActive(services_.Form.UseLogfileChecked(), services_.Form.LogfileText());
}

bool EncoderAutomation::RunSurCodeJob(const std::string& trackName, int outputNumber, int inputPosition) {
  const JobFolders folders = CurrentFolders();
  options_.WriteJobOptions(folders, trackName, outputNumber);

  const std::string finalFolder = WithTrailingDelimiter(folders.FinalFolder);
  services_.Files.Remove(finalFolder + trackName + ZeroPad(inputPosition, 2) + ".tmp");

  const std::string encoderPath = services_.Form.SurCodeFileName();
  const std::string encoderFolder = ExtractFileDir(encoderPath);
  // An empty folder would make the start fail; a bare name starts in our folder.
  const std::unique_ptr<ChildProcess> encoder =
      services_.Launcher.Start(encoderPath, WithTrailingDelimiter(folders.ProgramFolder) + "surcode.ssf",
                               encoderFolder.empty() ? std::nullopt : std::optional<std::string>(encoderFolder));
  if (!encoder) return false;

  if (LoggingIsActive()) AppendStartBlock(services_.Files, services_.Time, services_.Form.LogfileText());

  const std::string outputBase = TrackOutputBase(folders.FinalFolder, trackName, outputNumber);
  JobOutcome outcome = JobOutcome::WindowNotFound;
  const WindowHandle window = FindEncoderWindow();
  if (window != 0) {
    services_.Windows.Post(window, kWmCommand, kEncoderStartCommand, 0);
    outcome = AwaitOutput(window, outputBase + ".tmp", outputBase + ".wav");
    // A window that is gone has nothing left to close.
    if (outcome == JobOutcome::Encoded) services_.Windows.Post(window, kWmClose, 0, 0);
  }
  encoder->CloseHandles();

  // The mono files of a job that produced nothing stay for a second try.
  if (outcome == JobOutcome::Encoded) {
    const std::string monoPrefix = WithTrailingDelimiter(folders.TempFolder) + "mono";
    for (const std::string_view channel : ChannelFileNames) services_.Files.Remove(monoPrefix + std::string(channel));
  }

  const bool encoded = outcome == JobOutcome::Encoded;
  if (!LoggingIsActive()) return encoded;
  if (outcome == JobOutcome::WindowNotFound) {
    AppendLogLines(services_.Files, services_.Form.LogfileText(), {kWindowNotFoundLine}, true);
  } else if (outcome == JobOutcome::EndedWithoutOutput) {
    AppendLogLines(services_.Files, services_.Form.LogfileText(), {kEndedWithoutOutputLine}, true);
  }
  AppendEndBlock(services_.Files, services_.Time, services_.Form.LogfileText());
  return encoded;
}

// Closes every start-up window that shows up; each one closed starts the
// count of attempts afresh.
WindowHandle EncoderAutomation::FindEncoderWindow() {
  WindowHandle encoderWindow = 0;
  int attempts = 0;
  do {
    const WindowHandle startup = finder_.FindWindowByTitle(kStartupWindowTitle, 1, true);
    if (startup != 0) {
      services_.Windows.Post(startup, kWmClose, 0, 0);
      attempts = 0;
    } else {
      encoderWindow = finder_.FindWindowByTitle(kEncoderWindowTitle, 1, true);
    }
    ++attempts;
  } while (encoderWindow == 0 && attempts < kEncoderSearchAttempts);
  return encoderWindow;
}

// The rename succeeds once the encoder has written and released its output.
// The window that got the start command is watched, not the started process:
// a launcher may hand the work on and end at once. Only when that window is
// gone and nothing is left under the temporary name can no output come; an
// encoder may create its file only at the end.
EncoderAutomation::JobOutcome EncoderAutomation::AwaitOutput(WindowHandle window, const std::string& temporaryName,
                                                             const std::string& finalName) {
  for (;;) {
    services_.Time.Sleep(1000);
    services_.Pump.ProcessMessages();
    if (services_.Files.RenameNoReplace(temporaryName, finalName)) return JobOutcome::Encoded;
    if (!services_.Windows.Exists(window) && !services_.Lookup.Exists(temporaryName)) {
      return JobOutcome::EndedWithoutOutput;
    }
  }
}

}  // namespace kavrin
