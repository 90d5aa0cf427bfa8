#pragma once

#include <map>
#include <string>

#include "core/file_name_rules.hpp"
#include "settings/settings_form.hpp"

namespace kavrin::fakes {

// A form with the window's initial state and its widget rules: file-name
// fields quote and validate, the three modes form one exclusive group.
class FakeSettingsForm final : public SettingsForm {
 public:
  FakeSettingsForm() { checked_[SettingControl::cbUseGMax] = true; }

  std::string FileName(SettingControl control) override { return FileNameReading(texts_[control], false); }
  void SetFileName(SettingControl control, const std::string& value) override {
    texts_[control] = FileNameFieldText(value, false);
  }
  std::string Text(SettingControl control) override { return texts_[control]; }
  void SetText(SettingControl control, const std::string& value) override { texts_[control] = value; }
  bool Checked(SettingControl control) override { return checked_[control]; }
  void SetChecked(SettingControl control, bool checked) override {
    if (checked && IsMode(control)) {
      for (SettingControl mode : {SettingControl::rbDTSCD, SettingControl::rbAC3CD, SettingControl::rbCDDA}) {
        checked_[mode] = false;
      }
    }
    checked_[control] = checked;
  }
  void ShowSettingsTab() override { settingsTabShown = true; }
  void UpdateOtaFixed() override { ++otaFixedUpdates; }

  bool settingsTabShown = false;
  int otaFixedUpdates = 0;

 private:
  static bool IsMode(SettingControl c) {
    return c == SettingControl::rbDTSCD || c == SettingControl::rbAC3CD || c == SettingControl::rbCDDA;
  }
  std::map<SettingControl, std::string> texts_;
  std::map<SettingControl, bool> checked_;
};

}  // namespace kavrin::fakes
