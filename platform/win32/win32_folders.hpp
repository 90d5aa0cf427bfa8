#pragma once

#include "platform/folders.hpp"

namespace kavrin::win32 {

class Win32Folders final : public Folders {
 public:
  bool NamesExistingFile(const std::string& path) override;
  bool NamesExistingFolder(const std::string& path) override;
  bool ReadFolder(const std::string& folder, std::vector<std::string>& folders,
                  std::vector<std::string>& files) override;
  bool CreateFolder(const std::string& path) override;
  NewFiles CanCreateFilesIn(const std::string& folder, std::uint32_t& errorCode) override;
  std::string CurrentFolder() override;
  void SetCurrentFolder(const std::string& path) override;
};

}  // namespace kavrin::win32
