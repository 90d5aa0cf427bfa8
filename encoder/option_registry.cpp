#include "encoder/option_registry.hpp"

#include <cstring>
#include <sstream>

#include "batch/track_names.hpp"
#include "core/error.hpp"
#include "core/text.hpp"

namespace kavrin {

namespace {

// Version 1 named no user: it is taken for the user who finds it.
const char* const kBackupHeaderV1 = "Kavrin encoder options 1";
const char* const kBackupHeader = "Kavrin encoder options 2";
const char* const kUserPrefix = "USER ";
const char* const kHexDigits = "0123456789ABCDEF";

KavrinError SetFailed(const std::string& name) {
  return KavrinError(FormatMessageText("Failed to set data for '%s'", name));
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
std::string BackupFileText(const OptionBackup& backup, const std::string& user) {
  std::string text = std::string(kBackupHeader) + "\r\n" + kUserPrefix + user + "\r\n";
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

// The user is empty for a file of version 1.
bool ParseBackupFile(const std::string& text, OptionBackup& backup, std::string& user) {
  std::istringstream lines(text);
  std::string line;
  const auto next = [&] {
    if (!std::getline(lines, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
  };
  if (!next() || (line != kBackupHeader && line != kBackupHeaderV1)) return false;
  std::string owner;
  if (line == kBackupHeader) {
    if (!next() || line.compare(0, std::strlen(kUserPrefix), kUserPrefix) != 0) return false;
    owner = line.substr(std::strlen(kUserPrefix));
  }
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
  // Anything after the last value is not what this program wrote.
  if (next() && !(line.empty() && !next())) return false;
  read.Taken = true;
  backup = std::move(read);
  user = std::move(owner);
  return true;
}

}  // namespace

std::string OptionValueName(std::size_t slot) {
  return slot < 7 ? "WAVEFILE" + std::to_string(slot + 1) : std::string("WAVEFILELOCATION");
}

std::array<std::pair<std::string, std::string>, kOptionCount> JobOptionValues(const Job& job,
                                                                              const std::string& programFolder) {
  std::array<std::pair<std::string, std::string>, kOptionCount> values;
  for (std::size_t n = 0; n < ChannelFileNames.size(); ++n) {
    values[n] = {OptionValueName(n), MonoFileName(job, ChannelFileNames[n])};
  }
  values[6] = {OptionValueName(6), EncoderOutputName(job)};
  values[7] = {OptionValueName(7), programFolder};
  return values;
}

std::string EncoderOptions::BackupFile(bool ownName) const {
  const std::string user = ownName ? registry_.CurrentUserId() : std::string();
  return folder_() + (user.empty() ? std::string(kOptionBackupFileName) : "Kavrin encoder options " + user + ".bak");
}

std::string EncoderOptions::Reason(std::uint32_t code) {
  const std::string text = errors_.SystemErrorText(code);
  return text.empty() ? "error " + std::to_string(code) : text;
}

// What the user is told of a left backup that did not simply go back: at
// start-up, or at "Go", where it refuses the batch unless it was damaged.
std::string EncoderOptions::LeftNotice(const LeftState& left, bool atGo) {
  const std::string about = "The DTS encoder's options that an earlier batch saved in \"" + left.File + "\" ";
  switch (left.State) {
    case Left::Unreadable:
      return about + "cannot be read: " + left.Reason +
             (atGo ? "\r\n\r\nNothing was started."
                   : "\r\n\r\nThey were not put back. A DTS-CD batch can start once the file can be read.");
    case Left::Stuck:
      return about + "cannot be removed: " + left.Reason +
             (atGo ? "\r\n\r\nNothing was started."
                   : "\r\n\r\nThey were not put back, so that they cannot overwrite what was set since: the "
                     "encoder's options and the file are left as they are.");
    case Left::Damaged:
      return about + "are damaged and could not be put back. The file is now \"" + left.File + kDamagedSuffix +
             "\".\r\n\r\nThe encoder's file settings may still name that batch's files: have a look at them "
             "before you use the encoder on its own.";
    default:
      return std::string();
  }
}

void EncoderOptions::RecoverLeftBackups() {
  for (const bool ownName : {false, true}) {
    const std::string notice = LeftNotice(RecoverLeftBackup(BackupFile(ownName)), false);
    if (!notice.empty()) notify_(notice);
  }
}

void EncoderOptions::BackupEncoderOptions() {
  backup_ = OptionBackup();
  backupFile_.clear();
  // The values in a left file are the user's; the key may hold a killed run's.
  bool ownName = false;
  for (const bool tryOwnName : {false, true}) {
    const LeftState left = RecoverLeftBackup(BackupFile(tryOwnName));
    if (left.State == Left::Unreadable || left.State == Left::Stuck) throw KavrinError(LeftNotice(left, true));
    if (left.State == Left::Damaged) notify_(LeftNotice(left, true));
    // Without the key no job can be pointed at its files.
    if (left.State == Left::KeyClosed) return;
    if (left.State == Left::OtherUsers && !tryOwnName) ownName = true;
  }
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
  const std::string file = BackupFile(ownName);
  if (!files_.WriteWholeFile(file, BackupFileText(backup, registry_.CurrentUserId()))) {
    throw KavrinError(FormatMessageText("Unable to write to %s", file) + "\r\n\r\nNothing was started.");
  }
  backup.Taken = true;
  backup_ = std::move(backup);
  backupFile_ = file;
}

bool EncoderOptions::WriteJobOptions(const Job& job, const std::string& programFolder, std::string& reason) {
  if (!backup_.Taken) {
    reason = "The encoder's options could not be saved";
    return false;
  }
  const std::unique_ptr<RegistryKey> key = registry_.OpenOrCreateCurrentUserKey(kEncoderOptionKey);
  if (!key) {
    reason = "The encoder's options cannot be opened";
    return false;
  }
  for (const auto& [name, value] : JobOptionValues(job, programFolder)) {
    if (!key->SetString(name, value)) {
      reason = FormatMessageText("Failed to set data for '%s'", name);
      return false;
    }
  }
  return true;
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
  std::uint32_t ignored = 0;
  files_.RemoveOwnFile(backupFile_, ignored);
}

// A left backup goes back only when its file can be cleared too: one that
// stayed would be put back again at every start, over whatever the user set
// since. So the file goes first, and comes back if the values cannot.
EncoderOptions::LeftState EncoderOptions::RecoverLeftBackup(const std::string& file) {
  std::string text;
  std::uint32_t code = 0;
  switch (files_.ReadWholeFile(file, text, code)) {
    case FileStore::ReadResult::NotFound:
      return {Left::None, file, {}};
    case FileStore::ReadResult::Failed:
      return {Left::Unreadable, file, Reason(code)};
    case FileStore::ReadResult::Read:
      break;
  }
  OptionBackup saved;
  std::string user;
  if (!ParseBackupFile(text, saved, user)) return MoveAside(file);
  const std::string me = registry_.CurrentUserId();
  if (!user.empty() && !me.empty() && user != me) return {Left::OtherUsers, file, {}};
  const std::unique_ptr<RegistryKey> key = registry_.OpenOrCreateCurrentUserKey(kEncoderOptionKey);
  if (!key) return {Left::KeyClosed, file, {}};
  if (!files_.RemoveOwnFile(file, code)) return {Left::Stuck, file, Reason(code)};
  try {
    PutBack(*key, saved);
  } catch (...) {
    files_.WriteWholeFile(file, text);
    throw;
  }
  return {Left::PutBack, file, {}};
}

// A damaged backup is moved aside once, so that it holds no batch up again.
EncoderOptions::LeftState EncoderOptions::MoveAside(const std::string& file) {
  const std::string damaged = file + kDamagedSuffix;
  std::uint32_t code = 0;
  if (files_.RemoveOwnFile(damaged, code) && files_.RenameNoReplace(file, damaged)) return {Left::Damaged, file, {}};
  return {Left::Stuck, file, "it is damaged, and " + damaged + " cannot take its place"};
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
