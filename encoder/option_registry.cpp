#include "encoder/option_registry.hpp"

#include <cstring>
#include <sstream>

#include "core/error.hpp"
#include "core/file_name_rules.hpp"
#include "core/text.hpp"

namespace kavrin {

namespace {

const char* const kBackupHeader = "Kavrin encoder options 1";
const char* const kHexDigits = "0123456789ABCDEF";

KavrinError SetFailed(const std::string& name) {
  return KavrinError(FormatMessageText("Failed to set data for '%s'", name));
}

void SetOrThrow(RegistryKey& key, const std::string& name, const std::string& value) {
  if (!key.SetString(name, value)) throw SetFailed(name);
}

int HexValue(char c) {
  const char* found = c != '\0' ? std::strchr(kHexDigits, c) : nullptr;
  return found != nullptr ? static_cast<int>(found - kHexDigits) : -1;
}

bool FromHex(const std::string& hex, std::string& bytes) {
  if (hex.size() % 2 != 0) return false;
  bytes.clear();
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexValue(hex[i]);
    const int low = HexValue(hex[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes += static_cast<char>(high * 16 + low);
  }
  return true;
}

// One line a value: its name, then "missing", or its type and its bytes in
// hex, so that any byte of any code page comes back as it was.
std::string BackupFileText(const OptionBackup& backup) {
  std::string text = std::string(kBackupHeader) + "\r\n";
  for (std::size_t slot = 0; slot < kOptionCount; ++slot) {
    text += OptionValueName(slot);
    const std::optional<StringValue>& value = backup.Slots[slot];
    if (!value) {
      text += " missing\r\n";
      continue;
    }
    text += value->Expandable ? " REG_EXPAND_SZ " : " REG_SZ ";
    for (const char c : value->Data) {
      const auto byte = static_cast<unsigned char>(c);
      text += kHexDigits[byte >> 4];
      text += kHexDigits[byte & 0xF];
    }
    text += "\r\n";
  }
  return text;
}

bool ParseBackupFile(const std::string& text, OptionBackup& backup) {
  std::istringstream lines(text);
  std::string line;
  const auto next = [&] {
    if (!std::getline(lines, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
  };
  if (!next() || line != kBackupHeader) return false;
  OptionBackup read;
  for (std::size_t slot = 0; slot < kOptionCount; ++slot) {
    const std::string name = OptionValueName(slot) + " ";
    if (!next() || line.compare(0, name.size(), name) != 0) return false;
    const std::string rest = line.substr(name.size());
    if (rest == "missing") continue;
    const size_t blank = rest.find(' ');
    const std::string type = rest.substr(0, blank);
    StringValue value;
    if (type != "REG_SZ" && type != "REG_EXPAND_SZ") return false;
    value.Expandable = type == "REG_EXPAND_SZ";
    if (!FromHex(blank == std::string::npos ? std::string() : rest.substr(blank + 1), value.Data)) return false;
    read.Slots[slot] = std::move(value);
  }
  read.Taken = true;
  backup = std::move(read);
  return true;
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
  // The values in the file are the user's; the key may hold a killed run's.
  if (!RecoverLeftBackup()) return;
  const std::unique_ptr<RegistryKey> key = registry_.OpenOrCreateCurrentUserKey(kEncoderOptionKey);
  if (!key) return;
  OptionBackup backup;
  for (std::size_t slot = 0; slot < kOptionCount; ++slot) {
    const std::string name = OptionValueName(slot);
    StringValue value;
    switch (key->QueryStringValue(name, value)) {
      case RegistryKey::QueryResult::Missing:
        break;
      case RegistryKey::QueryResult::String:
        backup.Slots[slot] = std::move(value);
        break;
      case RegistryKey::QueryResult::WrongType:
        throw KavrinError(FormatMessageText("Invalid data type for '%s'", name));
    }
  }
  // A copy that lives only in memory is lost with the program.
  const std::string file = BackupFile();
  if (!files_.WriteWholeFile(file, BackupFileText(backup))) {
    throw KavrinError(FormatMessageText("Unable to write to %s", file));
  }
  backup.Taken = true;
  backup_ = std::move(backup);
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
  // The file stays, for the next start.
  if (!key) return;
  PutBack(*key, backup);
  files_.Remove(BackupFile());
}

bool EncoderOptions::RecoverLeftBackup() {
  const std::string file = BackupFile();
  std::string text;
  switch (files_.ReadWholeFile(file, text)) {
    case FileStore::ReadResult::NotFound:
      return true;
    case FileStore::ReadResult::Failed:
      return false;
    case FileStore::ReadResult::Read:
      break;
  }
  OptionBackup left;
  if (!ParseBackupFile(text, left)) {
    throw KavrinError(FormatMessageText(
        "The encoder options saved in %s cannot be read; put them back by hand and delete the file", file));
  }
  const std::unique_ptr<RegistryKey> key = registry_.OpenOrCreateCurrentUserKey(kEncoderOptionKey);
  if (!key) return false;
  PutBack(*key, left);
  files_.Remove(file);
  return true;
}

// Each value as it was: its type and every byte; one that was missing is
// missing again.
void EncoderOptions::PutBack(RegistryKey& key, const OptionBackup& backup) {
  for (std::size_t slot = 0; slot < kOptionCount; ++slot) {
    const std::string name = OptionValueName(slot);
    key.DeleteValue(name);
    const std::optional<StringValue>& value = backup.Slots[slot];
    if (value && !key.SetStringValue(name, *value)) throw SetFailed(name);
  }
}

}  // namespace kavrin
