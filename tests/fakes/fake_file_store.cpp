#include "fakes/fake_file_store.hpp"

#include <algorithm>

namespace kavrin::fakes {

FileStore::ReadResult FakeFileStore::ReadWholeFile(const std::string& path, std::string& bytes,
                                                   std::uint32_t& errorCode) {
  reads.push_back(path);
  if (journal != nullptr) journal->push_back("Read " + path);
  if (failRead || unreadable.count(path) != 0) {
    errorCode = failReadCode;
    return ReadResult::Failed;
  }
  const auto found = files.find(path);
  if (found == files.end()) return ReadResult::NotFound;
  bytes = found->second;
  return ReadResult::Read;
}

bool FakeFileStore::ReadInPieces(const std::string& path,
                                 const std::function<bool(std::span<const std::uint8_t> piece)>& take) {
  std::string bytes;
  if (ReadWholeFile(path, bytes) != ReadResult::Read) return false;
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  for (std::size_t at = 0; at < bytes.size(); at += pieceBytes) {
    if (!take(std::span<const std::uint8_t>(data + at, std::min(pieceBytes, bytes.size() - at)))) break;
  }
  return true;
}

FileStore::WriteResult FakeFileStore::ReplaceWholeFile(const std::string& path, const std::string& bytes) {
  writes.push_back(path);
  if (journal != nullptr) journal->push_back("Write " + path);
  if (busyWrites > 0) {
    --busyWrites;
    return WriteResult::Busy;
  }
  if (failWrite) return WriteResult::Failed;
  files[path] = bytes;
  return WriteResult::Written;
}

bool FakeFileStore::AppendToFile(const std::string& path, const std::string& bytes) {
  appends.push_back(path);
  if (journal != nullptr) journal->push_back("Append " + path);
  if (failAppend) return false;
  files[path] += bytes;
  return true;
}

bool FakeFileStore::RenameNoReplace(const std::string& from, const std::string& to) {
  moves.push_back(from + " -> " + to);
  if (journal != nullptr) journal->push_back("Move " + from + " -> " + to);
  const auto source = files.find(from);
  if (failMove || source == files.end() || files.count(to) != 0) return false;
  std::string bytes = std::move(source->second);
  files.erase(source);
  files[to] = std::move(bytes);
  return true;
}

bool FakeFileStore::Remove(const std::string& path) {
  deletes.push_back(path);
  if (journal != nullptr) journal->push_back("Delete " + path);
  if (failDelete || readOnly.count(path) != 0 || undeletable.count(path) != 0) return false;
  return files.erase(path) != 0;
}

bool FakeFileStore::RemoveOwnFile(const std::string& path, std::uint32_t& errorCode) {
  if (files.count(path) == 0) return true;
  const bool wasReadOnly = readOnly.erase(path) != 0;
  if (Remove(path)) return true;
  if (wasReadOnly) readOnly.insert(path);
  errorCode = undeletableCode;
  return false;
}

std::optional<std::uint64_t> FakeFileStore::SizeOf(const std::string& path) {
  const auto found = files.find(path);
  if (found == files.end()) return std::nullopt;
  return found->second.size();
}

}  // namespace kavrin::fakes
