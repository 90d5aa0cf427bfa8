#include "settings/settings_file.hpp"


#include "platform/error.hpp"
#include "platform/text.hpp"

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

void LoadSettings(ProfileStore& profile, const std::string& file, SettingsForm& form) {
  for (const SettingKey& setting : kSettings) {
    const std::string value = profile.ReadString(file, setting.section, setting.key, setting.defaultValue);
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
  }
  form.ShowSettingsTab();
  form.UpdateOtaFixed();
}

void StoreSettings(ProfileStore& profile, const std::string& file, SettingsForm& form) {
  for (const SettingKey& setting : kSettings) {
    std::string value;
    switch (setting.kind) {
      case Kind::FileName:
        value = form.FileName(setting.control);
        break;
      case Kind::Text:
        value = form.Text(setting.control);
        break;
      case Kind::Truth:
        value = form.Checked(setting.control) ? "1" : "0";
        break;
    }
    if (!profile.WriteString(file, setting.section, setting.key, value)) {
      throw KavrinError(FormatMessageText("Unable to write to %s", file));
    }
  }
}

}  // namespace kavrin
