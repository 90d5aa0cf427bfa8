#include "fakes/fake_file_lookup.hpp"

#include "core/text.hpp"

namespace kavrin::fakes {

FileLookup::Presence FakeFileLookup::Look(const std::string& path) {
  lookups.push_back(path);
  if (failEveryLookupWith) {
    const std::uint32_t code = *failEveryLookupWith;
    return code == 2 || code == 3 || code == 18 ? Presence::Absent : Presence::Unknown;
  }
  return entries_.count(UpperAscii(path)) != 0 ? Presence::Present : Presence::Absent;
}

bool FakeFileLookup::LastWriteTimeUtc(const std::string& path, DateTime& time, std::uint32_t& errorCode) {
  lookups.push_back(path);
  if (failEveryLookupWith) {
    errorCode = *failEveryLookupWith;
    return false;
  }
  const auto found = entries_.find(UpperAscii(path));
  if (found == entries_.end()) {
    errorCode = missingCode;
    return false;
  }
  time = found->second;
  return true;
}

void FakeFileLookup::AddEntry(const std::string& path, const DateTime& lastWrite) {
  entries_[UpperAscii(path)] = lastWrite;
}

void FakeFileLookup::RemoveEntry(const std::string& path) { entries_.erase(UpperAscii(path)); }

}  // namespace kavrin::fakes
