#pragma once

#include <string>

namespace kavrin {

// An INI file read and written one key at a time, with the behaviour of
// GetPrivateProfileStringA and WritePrivateProfileStringA: section and key
// names match regardless of case, blanks around a value and one pair of
// enclosing quotes are dropped, values are cut at 2047 characters, a write
// updates the key in place and leaves every other line alone.
class ProfileStore {
 public:
  virtual ~ProfileStore() = default;

  // The value, or `defaultValue` when the file, section or key is missing.
  // A key present with an empty value gives "".
  virtual std::string ReadString(const std::string& file, const std::string& section, const std::string& key,
                                 const std::string& defaultValue) = 0;

  // False when the file could not be written or created, or the disk lacks
  // room to rewrite it; the file is then as it was.
  virtual bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                           const std::string& value) = 0;
};

// Where the running executable lives (GetModuleFileNameA).
class ProgramLocation {
 public:
  virtual ~ProgramLocation() = default;
  virtual std::string ExecutablePath() = 0;
};

}  // namespace kavrin
