#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "app/widgets/check_box.hpp"
#include "app/widgets/edit.hpp"
#include "app/widgets/filename_edit.hpp"
#include "batch/job_settings.hpp"
#include "settings/settings_form.hpp"

namespace kavrin {

class TfKavrin;

// The main window's controls as the settings see them: each setting's
// control by the settings' table, for the load and store of Kavrin.ini, and
// the snapshot a batch reads. A new setting is one row here and one line in
// ReadJobSettings.
class SettingControls final : public SettingsForm {
 public:
  explicit SettingControls(TfKavrin& form);

  std::string FileName(SettingControl control) override;
  void SetFileName(SettingControl control, const std::string& value) override;
  std::string Text(SettingControl control) override;
  void SetText(SettingControl control, const std::string& value) override;
  bool Checked(SettingControl control) override;
  void SetChecked(SettingControl control, bool checked) override;
  void ShowSettingsTab() override;
  void UpdateOtaFixed() override;

  // The window's settings as one snapshot, read now.
  JobSettings ReadJobSettings();

 private:
  // A control reached as the kinds it is: a file-name field is a text field
  // too. A kind the control is not stays null.
  struct Field {
    TCustomEdit* text = nullptr;
    TFilenameEdit* fileName = nullptr;
    TCheckable* check = nullptr;
  };
  const Field& Of(SettingControl control) const { return fields_[static_cast<std::size_t>(control)]; }

  TfKavrin& form_;
  std::array<Field, kSettingControlCount> fields_{};
};

}  // namespace kavrin
