#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.hpp"

namespace kavrin::fakes {

// Files as byte strings, names matched exactly. Each operation has a switch
// that makes it fail and a record of the names it was given.
class FakeFileStore final : public FileStore {
 public:
  using FileStore::ReadWholeFile;
  ReadResult ReadWholeFile(const std::string& path, std::string& bytes, std::uint32_t& errorCode) override;
  bool ReadInPieces(const std::string& path,
                    const std::function<bool(std::span<const std::uint8_t> piece)>& take) override;
  WriteResult ReplaceWholeFile(const std::string& path, const std::string& bytes) override;
  bool AppendToFile(const std::string& path, const std::string& bytes) override;
  bool RenameNoReplace(const std::string& from, const std::string& to) override;
  bool Remove(const std::string& path) override;
  bool RemoveOwnFile(const std::string& path, std::uint32_t& errorCode) override;
  std::optional<std::uint64_t> SizeOf(const std::string& path) override;

  bool Has(const std::string& path) const { return files.count(path) != 0; }

  std::map<std::string, std::string> files;

  // A read that fails for a reason other than a missing file, with this
  // code: every read, or a read of these names.
  bool failRead = false;
  std::set<std::string> unreadable;
  std::uint32_t failReadCode = 5;
  // Names whose read-only attribute is set: Remove refuses them, RemoveOwnFile
  // clears it first.
  std::set<std::string> readOnly;
  // Names that no remove can take (no delete right), with this code.
  std::set<std::string> undeletable;
  std::uint32_t undeletableCode = 5;
  // Like the real store, a refused write leaves the old content.
  bool failWrite = false;
  // This many whole writes answer Busy (another program holds the file).
  int busyWrites = 0;
  bool failAppend = false;
  bool failMove = false;
  bool failDelete = false;

  // The pieces ReadInPieces hands on, so that a reader meets every split.
  std::size_t pieceBytes = 65536;
  std::vector<std::string> reads;
  std::vector<std::string> writes;
  std::vector<std::string> appends;
  std::vector<std::string> moves;  // "from -> to"
  std::vector<std::string> deletes;
  std::vector<std::string>* journal = nullptr;
};

}  // namespace kavrin::fakes
