#pragma once

#include <string>

#include "platform/profile.hpp"
#include "settings/settings_form.hpp"

namespace kavrin {

inline constexpr const char* kSettingsFileName = "Kavrin.ini";

// The program folder with a delimiter, then "Kavrin.ini".
std::string SettingsFilePath(const std::string& executablePath);

// A truth value as stored: a whole number (decimal, 0x/0X or $ hex), non-zero
// meaning true; anything else gives `defaultValue`.
bool ParseTruthValue(const std::string& text, bool defaultValue);

// Loads the fifteen settings into the form in their fixed order, then shows
// the settings tab and updates the fixed normalize option. An invalid stored
// file name throws from the form and stops the load at that key.
void LoadSettings(ProfileStore& profile, const std::string& file, SettingsForm& form);

// Stores the fifteen settings from the form. Throws KavrinError
// ("Unable to write to %s") at the first refused write.
void StoreSettings(ProfileStore& profile, const std::string& file, SettingsForm& form);

}  // namespace kavrin
