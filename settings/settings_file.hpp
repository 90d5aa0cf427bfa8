#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/profile.hpp"
#include "settings/settings_form.hpp"

namespace kavrin {

inline constexpr const char* kSettingsFileName = "Kavrin.ini";

// The program folder with a delimiter, then "Kavrin.ini".
std::string SettingsFilePath(const std::string& executablePath);

// A truth value as stored: a whole number (decimal, 0x/0X or $ hex), non-zero
// meaning true; anything else gives `defaultValue`.
bool ParseTruthValue(const std::string& text, bool defaultValue);

// The key that stopped a load and the keys after it, with the values their
// controls showed when it stopped. Their controls still hold the window's
// initial state, which is no reason to overwrite the user's stored values.
struct UnreadSettings {
  std::size_t firstUnread = SIZE_MAX;    // none unread
  std::vector<std::string> shownValues;  // from firstUnread on, as they would be stored
};

// Loads the fifteen settings into the form in their fixed order, then shows
// the settings tab and updates the fixed normalize option. An invalid stored
// file name throws from the form and stops the load at that key; `unread`
// then tells which keys the load did not reach.
void LoadSettings(ProfileStore& profile, const std::string& file, SettingsForm& form, UnreadSettings& unread);

// Stores the fifteen settings from the form. A key after the one that stopped
// the load is written only when its control has changed since (the three mode
// keys together, when any of their buttons has). Throws KavrinError
// ("Unable to write to %s") at the first refused write.
void StoreSettings(ProfileStore& profile, const std::string& file, SettingsForm& form, const UnreadSettings& unread);

}  // namespace kavrin
