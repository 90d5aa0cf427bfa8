#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/file_system.hpp"
#include "platform/registry.hpp"

namespace kavrin {

inline constexpr const char* kEncoderOptionKey = "Software\\Minnetonka Audio Software\\Surcode CD Pro DTS\\OPTIONS";

inline constexpr std::array<std::string_view, 6> ChannelFileNames = {"FL.WAV", "FR.WAV", "SL.WAV",
                                                                     "SR.WAV", "C.WAV",  "LFE.WAV"};

// WAVEFILE1 to WAVEFILE7, then WAVEFILELOCATION.
inline constexpr std::size_t kOptionCount = 8;
std::string OptionValueName(std::size_t slot);

// Beside Kavrin.ini: the backup of a batch that is running, or that never
// ended (killed, crashed, logged off).
inline constexpr const char* kOptionBackupFileName = "Kavrin encoder options.bak";

// The saved option values of one run, each exactly as stored; none stands for
// a missing value. `Taken` is set only by a backup that opened the key and
// read all eight values: a restore from anything less would delete the
// user's values.
struct OptionBackup {
  std::array<std::optional<StringValue>, kOptionCount> Slots;
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
// rewritten for each job and put back afterwards, each value exactly as it
// was. The saved copy is kept in the file that `backupFile` names too until
// it is put back, so that it survives the program. A key that cannot be opened is skipped
// silently; a value of a foreign type, a refused write or a backup file that
// cannot be written or read throws KavrinError.
class EncoderOptions {
 public:
  EncoderOptions(Registry& registry, FileStore& files, std::function<std::string()> backupFile)
      : registry_(registry), files_(files), backupFile_(std::move(backupFile)) {}

  // First puts back what a run that never ended left in the backup file;
  // while that file stays, no backup is taken over it.
  void BackupEncoderOptions();
  void WriteJobOptions(const JobFolders& folders, const std::string& trackName, int outputNumber);
  void RestoreEncoderOptions();

  // Puts back the values of the backup file and removes it. False when it
  // stays: the key cannot be opened, or the file cannot be read now.
  bool RecoverLeftBackup();

  const OptionBackup& Backup() const { return backup_; }
  std::string BackupFile() const { return backupFile_(); }

 private:
  void PutBack(RegistryKey& key, const OptionBackup& backup);

  Registry& registry_;
  FileStore& files_;
  std::function<std::string()> backupFile_;
  OptionBackup backup_;
};

}  // namespace kavrin
