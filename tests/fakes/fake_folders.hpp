#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fakes/fake_file_store.hpp"
#include "platform/folders.hpp"

namespace kavrin::fakes {

// The folders of a fake file store: a folder holds the files named below it.
class FakeFolders final : public Folders {
 public:
  explicit FakeFolders(FakeFileStore& files) : files_(files) {}

  bool NamesExistingFile(const std::string& path) override { return files_.Has(path); }
  bool NamesExistingFolder(const std::string&) override { return true; }
  bool ReadFolder(const std::string& folder, std::vector<std::string>&, std::vector<std::string>& files) override {
    const std::string prefix = folder + "\\";
    for (const auto& [path, bytes] : files_.files) {
      if (path.rfind(prefix, 0) == 0 && path.find('\\', prefix.size()) == std::string::npos) {
        files.push_back(path.substr(prefix.size()));
      }
    }
    return !failRead;
  }
  bool CreateFolder(const std::string&) override { return true; }
  NewFiles CanCreateFilesIn(const std::string&, std::uint32_t&) override { return NewFiles::Allowed; }
  std::string CurrentFolder() override { return "C:\\"; }
  void SetCurrentFolder(const std::string&) override {}

  bool failRead = false;

 private:
  FakeFileStore& files_;
};

}  // namespace kavrin::fakes
