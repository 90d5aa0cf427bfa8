#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "batch/job.hpp"
#include "core/error.hpp"
#include "platform/file_system.hpp"
#include "platform/registry.hpp"

namespace kavrin {

inline constexpr const char* kEncoderOptionKey = "Software\\Minnetonka Audio Software\\Surcode CD Pro DTS\\OPTIONS";

// WAVEFILE1 to WAVEFILE7, then WAVEFILELOCATION.
inline constexpr std::size_t kOptionCount = 8;
std::string OptionValueName(std::size_t slot);

// Beside Kavrin.ini: the backup of a batch that is running, or that never
// ended (killed, crashed, logged off). While it holds another user's backup,
// a user's own goes to a file whose name carries their id.
inline constexpr const char* kOptionBackupFileName = "Kavrin encoder options.bak";
// Where a backup that cannot be read as one is moved, once.
inline constexpr const char* kDamagedSuffix = ".damaged";

// The saved option values of one run, each exactly as stored; none stands for
// a missing value. `Taken` is set only by a backup that opened the key, read
// all eight values and saved them in its file: a restore from anything less
// would delete the user's values, and no job may write without it.
struct OptionBackup {
  std::array<std::optional<StringValue>, kOptionCount> Slots;
  bool Taken = false;
};

// The eight values a job writes, in writing order; the program folder
// without a trailing delimiter.
std::array<std::pair<std::string, std::string>, kOptionCount> JobOptionValues(const Job& job,
                                                                              const std::string& programFolder);

// The encoder's option values under HKEY_CURRENT_USER: saved for a run,
// rewritten for each job and put back afterwards, each value exactly as it
// was. The saved copy is kept in a file beside Kavrin.ini until it is put
// back, so that it survives the program. A key that cannot be opened is
// skipped silently; a value of a foreign type, a refused write or a backup
// file that cannot be written throws KavrinError.
class EncoderOptions {
 public:
  // What a user is told of a left backup that could not simply go back.
  using Notify = std::function<void(const std::string& text)>;

  EncoderOptions(Registry& registry, FileStore& files, ErrorTexts& errors, std::function<std::string()> folder,
                 Notify notify)
      : registry_(registry), files_(files), errors_(errors), folder_(std::move(folder)), notify_(std::move(notify)) {}

  // At start-up: puts back what this user's batch that never ended left,
  // and says why where it cannot.
  void RecoverLeftBackups();

  // First puts back what this user's batch that never ended left. A left
  // backup that cannot be read or removed refuses the batch: nothing is
  // started over it.
  void BackupEncoderOptions();
  // False, with the reason for the log, when the job's values were not all
  // written: without this batch's backup nothing is written at all.
  bool WriteJobOptions(const Job& job, const std::string& programFolder, std::string& reason);
  void RestoreEncoderOptions();

  const OptionBackup& Backup() const { return backup_; }
  // Where this user's backup goes: kOptionBackupFileName, or while that
  // holds another user's backup, the file named with this user's id.
  std::string BackupFile(bool ownName) const;

 private:
  enum class Left { None, PutBack, OtherUsers, KeyClosed, Unreadable, Stuck, Damaged };
  struct LeftState {
    Left State = Left::None;
    std::string File;
    std::string Reason;  // the system's, for Unreadable and Stuck
  };

  LeftState RecoverLeftBackup(const std::string& file);
  LeftState MoveAside(const std::string& file);
  std::string LeftNotice(const LeftState& left, bool atGo);
  std::string Reason(std::uint32_t code);
  void PutBack(RegistryKey& key, const OptionBackup& backup);

  Registry& registry_;
  FileStore& files_;
  ErrorTexts& errors_;
  std::function<std::string()> folder_;
  Notify notify_;
  OptionBackup backup_;
  std::string backupFile_;  // where this batch's backup is
};

}  // namespace kavrin
