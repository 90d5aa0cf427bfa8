#include "settings/settings_file.hpp"

#include <iterator>

#include "core/error.hpp"
#include "core/text.hpp"

namespace kavrin {

namespace {

enum class Kind { FileName, Text, Truth };

struct SettingKey {
  const char* section;
  const char* key;
  Kind kind;
  const char* defaultValue;  // For truth values "1" or "0".
  SettingControl control;
};

// The order is the load and store order, and the order of sections in a new file.
constexpr SettingKey kSettings[] = {
    {"EXE", "BeSweet", Kind::FileName, "", SettingControl::feBeSweet},
    {"EXE", "SurCode", Kind::FileName, "", SettingControl::feSurCode},
    {"FOLDERS", "BeSweet", Kind::Text, "", SettingControl::deBeSweetOutputFolder},
    {"FOLDERS", "SurCode", Kind::Text, "", SettingControl::deSurcodeOutputFolder},
    {"LOG", "Use Log", Kind::Truth, "0", SettingControl::cbUseLogfile},
    {"LOG", "Filename", Kind::Text, "", SettingControl::feLogfile},
    {"SETTINGS", "Normalize", Kind::Truth, "1", SettingControl::cbUseGMax},
    {"SETTINGS", "DTS CD", Kind::Truth, "1", SettingControl::rbDTSCD},
    {"SETTINGS", "AC3 CD", Kind::Truth, "0", SettingControl::rbAC3CD},
    {"SETTINGS", "CDDA CD", Kind::Truth, "0", SettingControl::rbCDDA},
    {"SETTINGS", "Shutdown", Kind::Truth, "0", SettingControl::cbShutdown},
    {"OTA", "Options", Kind::Text, "", SettingControl::eOta},
    {"Azid", "Options", Kind::Text, "-c normal -L -3db", SettingControl::eAzid},
    {"SSRC", "Options", Kind::Text, "--rate 44100", SettingControl::eSSRC},
    {"Boost", "Options", Kind::Text, "", SettingControl::eBoost},
};

std::string StoredValue(const SettingKey& setting, SettingsForm& form) {
  switch (setting.kind) {
    case Kind::FileName:
      return form.FileName(setting.control);
    case Kind::Text:
      return form.Text(setting.control);
    case Kind::Truth:
      return form.Checked(setting.control) ? "1" : "0";
  }
  return {};
}

bool IsModeKey(const SettingKey& setting) {
  return setting.control == SettingControl::rbDTSCD || setting.control == SettingControl::rbAC3CD ||
         setting.control == SettingControl::rbCDDA;
}

}  // namespace

std::string SettingsFilePath(const std::string& executablePath) {
  return WithTrailingDelimiter(ExtractFileDir(executablePath)) + kSettingsFileName;
}

bool ParseTruthValue(const std::string& text, bool defaultValue) {
  std::string digits = text;
  int base = 10;
  if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) digits.erase(0, 1);
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    digits.erase(0, 2);
    base = 16;
  } else if (digits.size() > 1 && digits[0] == '$') {
    digits.erase(0, 1);
    base = 16;
  }
  if (digits.empty()) return defaultValue;
  for (char c : digits) {
    const bool ok = base == 10 ? (c >= '0' && c <= '9')
                               : ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'));
    if (!ok) return defaultValue;
  }
  // Only zero or not zero matters, so no value is computed and no length overflows.
  return digits.find_first_not_of('0') != std::string::npos;
}

void LoadSettings(ProfileStore& profile, const std::string& file, SettingsForm& form, UnreadSettings& unread) {
  unread = {};
  for (std::size_t index = 0; index < std::size(kSettings); ++index) {
    const SettingKey& setting = kSettings[index];
    const std::string value = profile.ReadString(file, setting.section, setting.key, setting.defaultValue);
    try {
      switch (setting.kind) {
        case Kind::FileName:
          form.SetFileName(setting.control, value);
          break;
        case Kind::Text:
          form.SetText(setting.control, value);
          break;
        case Kind::Truth:
          form.SetChecked(setting.control, ParseTruthValue(value, setting.defaultValue[0] == '1'));
          break;
      }
    } catch (const KavrinError&) {
      unread.firstUnread = index;
      for (std::size_t later = index; later < std::size(kSettings); ++later) {
        unread.shownValues.push_back(StoredValue(kSettings[later], form));
      }
      throw;
    }
  }
  form.ShowSettingsTab();
  form.UpdateOtaFixed();
}

void StoreSettings(ProfileStore& profile, const std::string& file, SettingsForm& form, const UnreadSettings& unread) {
  std::vector<std::string> values;
  for (const SettingKey& setting : kSettings) values.push_back(StoredValue(setting, form));

  // After a stopped load, the key that stopped it is stored like every key
  // before it; a later key only once its control has changed, so that the
  // initial state of a control is never stored over the user's value. The
  // mode buttons are one group: a change of one is a change of all three.
  const auto changedSinceStop = [&](std::size_t index) {
    return index > unread.firstUnread && values[index] != unread.shownValues[index - unread.firstUnread];
  };
  bool modeChanged = false;
  for (std::size_t index = 0; index < values.size(); ++index) {
    if (IsModeKey(kSettings[index]) && changedSinceStop(index)) modeChanged = true;
  }

  for (std::size_t index = 0; index < values.size(); ++index) {
    const SettingKey& setting = kSettings[index];
    const bool reached = index <= unread.firstUnread;
    if (!reached && !(IsModeKey(setting) ? modeChanged : changedSinceStop(index))) continue;
    if (!profile.WriteString(file, setting.section, setting.key, values[index])) {
      throw KavrinError(FormatMessageText("Unable to write to %s", file));
    }
  }
}

}  // namespace kavrin
