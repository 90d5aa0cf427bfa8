#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "batch/encoder_stage.hpp"
#include "batch/track_names.hpp"
#include "core/error.hpp"
#include "encoder/option_registry.hpp"
#include "encoder/window_finder.hpp"
#include "platform/clock.hpp"
#include "platform/file_system.hpp"
#include "platform/message_pump.hpp"
#include "platform/process.hpp"
#include "platform/profile.hpp"
#include "platform/registry.hpp"
#include "platform/window_system.hpp"

namespace kavrin {

struct EncoderServices {
  ProgramLocation& Program;
  Registry& Options;
  WindowSystem& Windows;
  MessagePump& Pump;
  Clock& Time;
  ProcessLauncher& Launcher;
  FileStore& Files;
  FileLookup& Lookup;
  ErrorTexts& Errors;
  // Shows what the user must know of a left backup of the encoder's options.
  EncoderOptions::Notify Notify;
};

inline constexpr const char* kStartupWindowTitle = "Surcode CD Pro DTS";
inline constexpr const char* kEncoderWindowTitle = "DTS Encoder";
inline constexpr int kEncoderSearchAttempts = 20;
inline constexpr unsigned kEncoderStartCommand = 1050;
inline constexpr const char* kWindowNotFoundLine = "DTS Encoder window not found - job skipped";
inline constexpr const char* kEndedWithoutOutputLine = "SurCode CD Pro DTS ended without output - job skipped";
inline constexpr const char* kStartupWindowStayedLine = "Surcode CD Pro DTS window did not close - job skipped";
inline constexpr const char* kNoProgressLine = "SurCode CD Pro DTS wrote nothing for 10 minutes - job skipped";
// Followed by the name and " - job skipped".
inline constexpr const char* kCannotDeletePrefix = "Cannot delete ";
inline constexpr const char* kNotWrittenPrefix = "BeSweet did not write ";

// A start-up window is sent a close, then given this long to go, at most
// this many times (some 30 seconds in all).
inline constexpr unsigned kStartupClosePause = 100;
inline constexpr int kStartupCloseLimit = 300;
// Polls of the output, one a second, with no output or no growth of it
// before the job is given up.
inline constexpr int kOutputIdlePolls = 600;
// How long the restore waits, in pauses of 100 ms, for the last encoder
// window to go: one that saves its options on closing would undo it.
inline constexpr int kEncoderCloseWaits = 300;

// Drives the windowed DTS encoder for the jobs of a DTS-CD batch.
class EncoderAutomation final : public EncoderStage {
 public:
  explicit EncoderAutomation(const EncoderServices& services);

  void CreateWindowList() override;
  void ReleaseWindowList() override;

  void BackupEncoderOptions() override;
  bool PrepareSurCodeJob(const Job& job, BatchStatus& status) override;
  bool RunSurCodeJob(const Job& job, BatchStatus& status) override;
  void RestoreEncoderOptions() override;
  void RestoreEncoderOptionsNow() override;
  // At start-up: what a batch that never ended left in the backup file.
  void RecoverEncoderOptions() { options_.RecoverLeftBackups(); }

 private:
  enum class JobOutcome { Encoded, WindowNotFound, StartupWindowStayed, EndedWithoutOutput, NoProgress };

  // Encoders that were open before a job started its own: the user's, or a
  // killed run's. They get neither the start command nor a close.
  struct ForeignEncoders {
    std::set<WindowHandle> Windows;
    std::set<std::uint32_t> Processes;
  };
  ForeignEncoders NoteForeignEncoders();
  bool ReadyToEncode(const Job& job, BatchStatus& status);
  JobOutcome Encode(const Job& job, ChildProcess& encoder, const ForeignEncoders& foreign);
  // The log line of an outcome that made no track; null for the track.
  static const char* OutcomeLine(JobOutcome outcome);
  std::string ProgramFolder();
  WindowHandle FindEncoderWindow(const WindowFinder::WindowFilter& ours, JobOutcome& outcome);
  JobOutcome AwaitOutput(WindowHandle window, const std::string& temporaryName, const std::string& finalName);
  // The size of the output so far, under its temporary name or that name
  // with ".part", which an encoder may write under until it is complete.
  std::optional<std::uint64_t> OutputSize(const std::string& temporaryName);
  void CloseEncoder(WindowHandle window, const std::set<std::uint32_t>& processes, const ForeignEncoders& foreign);
  // Deleted, or not there at all.
  bool Cleared(const std::string& path);

  EncoderServices services_;
  WindowFinder finder_;
  EncoderOptions options_;
  // Encoder windows sent the close command since the backup.
  std::vector<WindowHandle> closing_;
};

}  // namespace kavrin
