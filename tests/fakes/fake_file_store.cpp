#include "fakes/fake_file_store.hpp"

namespace kavrin::fakes {

FileStore::ReadResult FakeFileStore::ReadWholeFile(const std::string& path, std::string& bytes) {
  reads.push_back(path);
  if (journal != nullptr) journal->push_back("Read " + path);
  if (failRead) return ReadResult::Failed;
  const auto found = files.find(path);
  if (found == files.end()) return ReadResult::NotFound;
  bytes = found->second;
  return ReadResult::Read;
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
  if (failDelete) return false;
  return files.erase(path) != 0;
}

}  // namespace kavrin::fakes
