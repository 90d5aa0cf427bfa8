#pragma once

#include "platform/file_system.hpp"

namespace kavrin::win32 {

class Win32FileStore final : public FileStore {
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
};

}  // namespace kavrin::win32
