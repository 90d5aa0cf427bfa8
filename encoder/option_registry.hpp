#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "platform/registry.hpp"

namespace kavrin {

inline constexpr const char* kEncoderOptionKey = "Software\\Minnetonka Audio Software\\Surcode CD Pro DTS\\OPTIONS";

inline constexpr std::array<std::string_view, 6> ChannelFileNames = {"FL.WAV", "FR.WAV", "SL.WAV",
                                                                     "SR.WAV", "C.WAV",  "LFE.WAV"};

// WAVEFILE1 to WAVEFILE7, then WAVEFILELOCATION.
inline constexpr std::size_t kOptionCount = 8;
std::string OptionValueName(std::size_t slot);

inline constexpr std::size_t kOptionBackupLength = 255;

// The saved option values of one run. `Taken` is set only by a backup that
// opened the key and read all eight values: a restore from anything less
// would delete the user's values.
struct OptionBackup {
  std::array<std::string, kOptionCount> Slots;
  bool Taken = false;
};

// The folders a job's option values are made of, as the window holds them.
struct JobFolders {
  std::string TempFolder;     // BeSweet's output folder, untrimmed
  std::string FinalFolder;    // final output folder, untrimmed
  std::string ProgramFolder;  // without a trailing delimiter
};

// The eight values a job writes, in writing order.
std::array<std::pair<std::string, std::string>, kOptionCount> JobOptionValues(const JobFolders& folders,
                                                                              const std::string& trackName,
                                                                              int outputNumber);

// The encoder's option values under HKEY_CURRENT_USER: saved for a run,
// rewritten for each job and put back afterwards. A key that cannot be opened
// is skipped silently; a value of a foreign type or a refused write throws
// KavrinError.
class EncoderOptions {
 public:
  explicit EncoderOptions(Registry& registry) : registry_(registry) {}

  void BackupEncoderOptions();
  void WriteJobOptions(const JobFolders& folders, const std::string& trackName, int outputNumber);
  void RestoreEncoderOptions();

  const OptionBackup& Backup() const { return backup_; }

 private:
  Registry& registry_;
  OptionBackup backup_;
};

}  // namespace kavrin
