#pragma once

#include <string>

namespace kavrin {

// The controls that hold a setting. The main window is the one real owner of
// every setting; the core reaches the controls only through SettingsForm.
enum class SettingControl {
  feBeSweet,
  feSurCode,
  deBeSweetOutputFolder,
  deSurcodeOutputFolder,
  cbUseLogfile,
  feLogfile,
  cbUseGMax,
  rbDTSCD,
  rbAC3CD,
  rbCDDA,
  cbShutdown,
  eOta,
  eAzid,
  eSSRC,
  eBoost,
};
inline constexpr int kSettingControlCount = static_cast<int>(SettingControl::eBoost) + 1;

// What the settings load and store need from the main window.
class SettingsForm {
 public:
  virtual ~SettingsForm() = default;

  // The FileName reading of a file-name field, and its write, which throws
  // KavrinError("Invalid file name - %s") and keeps the text for an invalid name.
  virtual std::string FileName(SettingControl control) = 0;
  virtual void SetFileName(SettingControl control, const std::string& value) = 0;

  // The raw text of an edit, file-name or folder field.
  virtual std::string Text(SettingControl control) = 0;
  virtual void SetText(SettingControl control, const std::string& value) = 0;

  // The checked state of a check box or radio button. Setting a radio button
  // to true clears the others of its group; setting a check box to a new
  // state runs its click handler.
  virtual bool Checked(SettingControl control) = 0;
  virtual void SetChecked(SettingControl control, bool checked) = 0;

  // Brings the "Besweet Settings" tab to the front.
  virtual void ShowSettingsTab() = 0;
  virtual void UpdateOtaFixed() = 0;
};

}  // namespace kavrin
