#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kavrin {

// What the browse fields, the folder dialog and the start of a batch ask of
// the file system.
class Folders {
 public:
  virtual ~Folders() = default;

  // True when the path names an existing file, not a folder.
  virtual bool NamesExistingFile(const std::string& path) = 0;
  // True when the path names an existing folder.
  virtual bool NamesExistingFolder(const std::string& path) = 0;

  // The names of a folder's entries that are neither hidden nor system, in
  // the file system's order, "." and ".." left out. False when the folder
  // cannot be opened; an empty drive can.
  virtual bool ReadFolder(const std::string& folder, std::vector<std::string>& folders,
                          std::vector<std::string>& files) = 0;

  // Creates one folder whose parent exists.
  virtual bool CreateFolder(const std::string& path) = 0;

  // Whether new files can be created in a folder now: a file is created
  // there and removed at once. Refused comes with the system's error code.
  enum class NewFiles { Allowed, FolderMissing, NotAFolder, Refused };
  virtual NewFiles CanCreateFilesIn(const std::string& folder, std::uint32_t& errorCode) = 0;

  // The process's current folder; empty when it cannot be read.
  virtual std::string CurrentFolder() = 0;
  virtual void SetCurrentFolder(const std::string& path) = 0;
};

}  // namespace kavrin
