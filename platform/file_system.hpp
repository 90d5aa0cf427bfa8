#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "core/date_time.hpp"

namespace kavrin {

// Directory lookups of exactly one name (FindFirstFileA over entries of every
// attribute, folders included), with the system's critical-error boxes off
// while they run.
class FileLookup {
 public:
  virtual ~FileLookup() = default;

  // Absent only when the system says the name or its folder does not exist;
  // Unknown for every other failure (a share that drops, a folder that
  // cannot be listed), which must not be taken for a free name.
  enum class Presence { Present, Absent, Unknown };
  virtual Presence Look(const std::string& path) = 0;

  bool Exists(const std::string& path) { return Look(path) == Presence::Present; }

  // False with the system error code (0 when the system gave none) when the
  // name cannot be found.
  virtual bool LastWriteTimeUtc(const std::string& path, DateTime& time, std::uint32_t& errorCode) = 0;
};

// Whole-file reads and writes and the two file operations of the encoder stage.
class FileStore {
 public:
  virtual ~FileStore() = default;

  // NotFound only when the file or its folder does not exist; Failed for every
  // other reason it cannot be opened or read.
  enum class ReadResult { Read, NotFound, Failed };

  // The file's bytes, read while others are denied writing; the system's
  // error code when it fails.
  virtual ReadResult ReadWholeFile(const std::string& path, std::string& bytes, std::uint32_t& errorCode) = 0;
  ReadResult ReadWholeFile(const std::string& path, std::string& bytes) {
    std::uint32_t ignored = 0;
    return ReadWholeFile(path, bytes, ignored);
  }

  // Hands the file's bytes to `take` from its start, a piece at a time, for
  // as long as `take` answers true. False when it cannot be opened or read.
  virtual bool ReadInPieces(const std::string& path,
                            const std::function<bool(std::span<const std::uint8_t> piece)>& take) = 0;

  // Busy: another program holds the file or the folder refused the replace
  // for now (a sharing or access error), worth another try.
  enum class WriteResult { Written, Busy, Failed };

  // Creates the file or replaces its content as a whole: on any failure the
  // file stays exactly as it was.
  virtual WriteResult ReplaceWholeFile(const std::string& path, const std::string& bytes) = 0;
  bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    return ReplaceWholeFile(path, bytes) == WriteResult::Written;
  }

  // Adds the bytes at the end of the file, creating it when missing, while
  // others may go on reading and writing it. False on any failure.
  virtual bool AppendToFile(const std::string& path, const std::string& bytes) = 0;

  // A rename that fails when the target exists or the source is held open (MoveFileA).
  virtual bool RenameNoReplace(const std::string& from, const std::string& to) = 0;

  virtual bool Remove(const std::string& path) = 0;

  // Removes a file of Kavrin's own, clearing its read-only attribute first.
  // True when it is gone, or was not there; otherwise the system's error code.
  virtual bool RemoveOwnFile(const std::string& path, std::uint32_t& errorCode) = 0;

  // The file's size as the system has it now, also while another program
  // writes it; none when it cannot be read (no such file).
  virtual std::optional<std::uint64_t> SizeOf(const std::string& path) = 0;
};

}  // namespace kavrin
