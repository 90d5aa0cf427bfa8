#pragma once

#include <string>

#include "batch/encoder_stage.hpp"
#include "encoder/encoder_form.hpp"
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
  EncoderForm& Form;
  ProgramLocation& Program;
  Registry& Options;
  WindowSystem& Windows;
  MessagePump& Pump;
  Clock& Time;
  ProcessLauncher& Launcher;
  FileStore& Files;
  FileLookup& Lookup;
};

inline constexpr const char* kStartupWindowTitle = "Surcode CD Pro DTS";
inline constexpr const char* kEncoderWindowTitle = "DTS Encoder";
inline constexpr int kEncoderSearchAttempts = 20;
inline constexpr unsigned kEncoderStartCommand = 1050;
inline constexpr const char* kWindowNotFoundLine = "DTS Encoder window not found - job skipped";
inline constexpr const char* kEndedWithoutOutputLine = "SurCode CD Pro DTS ended without output - job skipped";

// Drives the windowed DTS encoder for the jobs of a DTS-CD batch.
class EncoderAutomation final : public EncoderStage {
 public:
  explicit EncoderAutomation(const EncoderServices& services);

  void CreateWindowList() override;
  void ReleaseWindowList() override;

  void BackupEncoderOptions() override;
  void WriteJobOptions(const std::string& trackName, int outputNumber);
  bool RunSurCodeJob(const std::string& trackName, int outputNumber, int inputPosition) override;
  void RestoreEncoderOptions() override;

  WindowFinder& Finder() { return finder_; }

 private:
  enum class JobOutcome { Encoded, WindowNotFound, EndedWithoutOutput };

  JobFolders CurrentFolders();
  WindowHandle FindEncoderWindow();
  JobOutcome AwaitOutput(WindowHandle window, const std::string& temporaryName, const std::string& finalName);
  bool LoggingIsActive();

  EncoderServices services_;
  WindowFinder finder_;
  EncoderOptions options_;
};

}  // namespace kavrin
