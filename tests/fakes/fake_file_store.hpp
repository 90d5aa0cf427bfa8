#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/file_system.hpp"

namespace kavrin::fakes {

// Files as byte strings, names matched exactly. Each operation has a switch
// that makes it fail and a record of the names it was given.
class FakeFileStore final : public FileStore {
 public:
  ReadResult ReadWholeFile(const std::string& path, std::string& bytes) override;
  WriteResult ReplaceWholeFile(const std::string& path, const std::string& bytes) override;
  bool AppendToFile(const std::string& path, const std::string& bytes) override;
  bool RenameNoReplace(const std::string& from, const std::string& to) override;
  bool Remove(const std::string& path) override;

  bool Has(const std::string& path) const { return files.count(path) != 0; }

  std::map<std::string, std::string> files;

  // A read that fails for a reason other than a missing file.
  bool failRead = false;
  // Like the real store, a refused write leaves the old content.
  bool failWrite = false;
  // This many whole writes answer Busy (another program holds the file).
  int busyWrites = 0;
  bool failAppend = false;
  bool failMove = false;
  bool failDelete = false;

  std::vector<std::string> reads;
  std::vector<std::string> writes;
  std::vector<std::string> appends;
  std::vector<std::string> moves;  // "from -> to"
  std::vector<std::string> deletes;
  std::vector<std::string>* journal = nullptr;
};

}  // namespace kavrin::fakes
