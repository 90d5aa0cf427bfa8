#include "app/setting_controls.hpp"

#include "app/tf_kavrin.hpp"

namespace kavrin {

SettingControls::SettingControls(TfKavrin& form) : form_(form) {
  const auto put = [this](SettingControl control, Field field) { fields_[static_cast<std::size_t>(control)] = field; };
  put(SettingControl::feBeSweet, {&form.feBeSweet, &form.feBeSweet, nullptr});
  put(SettingControl::feSurCode, {&form.feSurCode, &form.feSurCode, nullptr});
  put(SettingControl::feLogfile, {&form.feLogfile, &form.feLogfile, nullptr});
  put(SettingControl::deBeSweetOutputFolder, {&form.deBeSweetOutputFolder, nullptr, nullptr});
  put(SettingControl::deSurcodeOutputFolder, {&form.deSurcodeOutputFolder, nullptr, nullptr});
  put(SettingControl::eOta, {&form.eOta, nullptr, nullptr});
  put(SettingControl::eAzid, {&form.eAzid, nullptr, nullptr});
  put(SettingControl::eSSRC, {&form.eSSRC, nullptr, nullptr});
  put(SettingControl::eBoost, {&form.eBoost, nullptr, nullptr});
  put(SettingControl::cbUseLogfile, {nullptr, nullptr, &form.cbUseLogfile});
  put(SettingControl::cbUseGMax, {nullptr, nullptr, &form.cbUseGMax});
  put(SettingControl::rbDTSCD, {nullptr, nullptr, &form.rbDTSCD});
  put(SettingControl::rbAC3CD, {nullptr, nullptr, &form.rbAC3CD});
  put(SettingControl::rbCDDA, {nullptr, nullptr, &form.rbCDDA});
  put(SettingControl::cbShutdown, {nullptr, nullptr, &form.cbShutdown});
}

// The settings ask each control only as the kind its key has; any other
// kind reads as empty and takes no write.
std::string SettingControls::FileName(SettingControl control) {
  TFilenameEdit* field = Of(control).fileName;
  return field != nullptr ? field->FileName() : std::string();
}

void SettingControls::SetFileName(SettingControl control, const std::string& value) {
  if (TFilenameEdit* field = Of(control).fileName) field->SetFileName(value);
}

std::string SettingControls::Text(SettingControl control) {
  TCustomEdit* field = Of(control).text;
  return field != nullptr ? field->Text() : std::string();
}

void SettingControls::SetText(SettingControl control, const std::string& value) {
  if (TCustomEdit* field = Of(control).text) field->SetText(value);
}

bool SettingControls::Checked(SettingControl control) {
  TCheckable* field = Of(control).check;
  return field != nullptr && field->Checked();
}

void SettingControls::SetChecked(SettingControl control, bool checked) {
  if (TCheckable* field = Of(control).check) field->SetChecked(checked);
}

void SettingControls::ShowSettingsTab() { form_.PageControl1.SetActivePage(form_.tsSettings); }

void SettingControls::UpdateOtaFixed() { form_.UpdateOtaFixed(); }

JobSettings SettingControls::ReadJobSettings() {
  JobSettings settings;
  settings.BeSweetPath = FileName(SettingControl::feBeSweet);
  settings.SurCodePath = FileName(SettingControl::feSurCode);
  settings.TempFolderText = Text(SettingControl::deBeSweetOutputFolder);
  settings.FinalFolderText = Text(SettingControl::deSurcodeOutputFolder);
  settings.UseLogfile = Checked(SettingControl::cbUseLogfile);
  settings.LogfileText = Text(SettingControl::feLogfile);
  settings.Normalize = Checked(SettingControl::cbUseGMax);
  settings.Azid = Text(SettingControl::eAzid);
  settings.Ota = Text(SettingControl::eOta);
  settings.Ssrc = Text(SettingControl::eSSRC);
  settings.SsrcFixed = form_.eSSRCFixed.Text();
  settings.Boost = Text(SettingControl::eBoost);
  settings.Shutdown = Checked(SettingControl::cbShutdown);
  return settings;
}

}  // namespace kavrin
