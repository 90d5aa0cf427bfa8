#include "encoder/option_registry.hpp"

#include "core/error.hpp"
#include "core/file_name_rules.hpp"
#include "core/text.hpp"

namespace kavrin {

namespace {

void SetOrThrow(RegistryKey& key, const std::string& name, const std::string& value) {
  if (!key.SetString(name, value)) throw KavrinError(FormatMessageText("Failed to set data for '%s'", name));
}

}  // namespace

std::string OptionValueName(std::size_t slot) {
  return slot < 7 ? "WAVEFILE" + std::to_string(slot + 1) : std::string("WAVEFILELOCATION");
}

std::array<std::pair<std::string, std::string>, kOptionCount> JobOptionValues(const JobFolders& folders,
                                                                              const std::string& trackName,
                                                                              int outputNumber) {
  std::array<std::pair<std::string, std::string>, kOptionCount> values;
  const std::string monoPrefix = WithTrailingDelimiter(folders.TempFolder) + "mono";
  for (std::size_t n = 0; n < ChannelFileNames.size(); ++n) {
    values[n] = {OptionValueName(n), monoPrefix + std::string(ChannelFileNames[n])};
  }
  values[6] = {OptionValueName(6), TrackOutputBase(folders.FinalFolder, trackName, outputNumber) + ".tmp"};
  values[7] = {OptionValueName(7), folders.ProgramFolder};
  return values;
}

void EncoderOptions::BackupEncoderOptions() {
  backup_ = OptionBackup();
  const std::unique_ptr<RegistryKey> key = registry_.OpenOrCreateCurrentUserKey(kEncoderOptionKey);
  if (!key) return;
  for (std::size_t slot = 0; slot < kOptionCount; ++slot) {
    const std::string name = OptionValueName(slot);
    std::string value;
    switch (key->QueryString(name, value)) {
      case RegistryKey::QueryResult::Missing:
        break;
      case RegistryKey::QueryResult::String:
        backup_.Slots[slot] = value.substr(0, kOptionBackupLength);
        break;
      case RegistryKey::QueryResult::WrongType:
        backup_ = OptionBackup();
        throw KavrinError(FormatMessageText("Invalid data type for '%s'", name));
    }
  }
  backup_.Taken = true;
}

void EncoderOptions::WriteJobOptions(const JobFolders& folders, const std::string& trackName, int outputNumber) {
  const std::unique_ptr<RegistryKey> key = registry_.OpenOrCreateCurrentUserKey(kEncoderOptionKey);
  if (!key) return;
  for (const auto& [name, value] : JobOptionValues(folders, trackName, outputNumber)) SetOrThrow(*key, name, value);
}

void EncoderOptions::RestoreEncoderOptions() {
  // Without a complete backup a restore would only delete the user's values.
  if (!backup_.Taken) return;
  const OptionBackup backup = backup_;
  backup_ = OptionBackup();
  const std::unique_ptr<RegistryKey> key = registry_.OpenOrCreateCurrentUserKey(kEncoderOptionKey);
  if (!key) return;
  for (std::size_t slot = 0; slot < kOptionCount; ++slot) {
    const std::string name = OptionValueName(slot);
    key->DeleteValue(name);
    if (!backup.Slots[slot].empty()) SetOrThrow(*key, name, backup.Slots[slot]);
  }
}

}  // namespace kavrin
