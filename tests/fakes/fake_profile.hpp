#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/profile.hpp"

namespace kavrin::fakes {

// An in-memory INI store with the profile functions' rules. Files are kept as
// lines so that tests can look at the exact text a store produced.
class FakeProfileStore final : public ProfileStore {
 public:
  std::string ReadString(const std::string& file, const std::string& section, const std::string& key,
                         const std::string& defaultValue) override;
  bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) override;

  void SetFileText(const std::string& file, const std::string& text);
  std::string FileText(const std::string& file) const;
  bool Exists(const std::string& file) const { return files_.count(file) != 0; }

  // Writes fail from the given write on (counted from 1); 0 never fails.
  int failFromWrite = 0;
  int writes = 0;
  std::vector<std::string> readKeys;  // "section/key" in the order read.

 private:
  std::map<std::string, std::vector<std::string>> files_;
};

}  // namespace kavrin::fakes
