#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.hpp"

namespace kavrin::fakes {

// An in-memory directory: names match regardless of ASCII case, as on
// Windows. Folders are entries like files.
class FakeFileLookup final : public FileLookup {
 public:
  Presence Look(const std::string& path) override;
  bool LastWriteTimeUtc(const std::string& path, DateTime& time, std::uint32_t& errorCode) override;

  void AddEntry(const std::string& path, const DateTime& lastWrite = {});
  void RemoveEntry(const std::string& path);

  // The code a missing name gives (ERROR_FILE_NOT_FOUND unless told).
  std::uint32_t missingCode = 2;
  // Every lookup fails with this code, whether or not the name exists; only
  // 2, 3 and 18 read as absent.
  std::optional<std::uint32_t> failEveryLookupWith;
  std::vector<std::string> lookups;  // every name asked for, in order

 private:
  std::map<std::string, DateTime> entries_;
};

}  // namespace kavrin::fakes
