#include "platform/win32/win32_file_store.hpp"

#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/win32/unique_resource.hpp"

namespace kavrin::win32 {

namespace {

// ReadFile and WriteFile take 32-bit counts; larger files go in pieces.
constexpr DWORD kPiece = 1u << 30;

bool WriteAll(HANDLE file, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD wanted = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, kPiece));
    DWORD written = 0;
    if (WriteFile(file, bytes.data() + done, wanted, &written, nullptr) == FALSE || written == 0) return false;
    done += written;
  }
  return FlushFileBuffers(file) != FALSE;
}

// A new file beside `path` that nobody else has: `path` with ".~N.tmp" added,
// for the first N whose name is free.
UniqueHandle CreateSiblingFile(const std::string& path, std::string& name) {
  for (int n = 0; n < 100; ++n) {
    name = path + ".~" + std::to_string(n) + ".tmp";
    UniqueHandle file(CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return UniqueHandle();
}

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// Puts the written file in the place of `path`. With a backup name the old
// file is never lost on the way, and comes back when the last step fails.
// ReplaceFileA keeps the old file's attributes on Windows; Wine's does not,
// so a hidden or system log gets them back here.
bool PutInPlace(const std::string& written, const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES && IsMissing(GetLastError())) {
    return MoveFileExA(written.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
  }
  const std::string backup = written + ".old";
  if (ReplaceFileA(path.c_str(), written.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) ==
      FALSE) {
    if (GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) MoveFileA(backup.c_str(), path.c_str());
    return false;
  }
  DeleteFileA(backup.c_str());
  const DWORD kept = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
  const DWORD now = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && now != INVALID_FILE_ATTRIBUTES && (now & kept) != kept) {
    SetFileAttributesA(path.c_str(), now | kept);
  }
  return true;
}

}  // namespace

FileStore::ReadResult Win32FileStore::ReadWholeFile(const std::string& path, std::string& bytes) {
  // Others may read along but not write while the log is read.
  const UniqueHandle file(
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return IsMissing(GetLastError()) ? ReadResult::NotFound : ReadResult::Failed;
  LARGE_INTEGER size;
  if (GetFileSizeEx(file.Get(), &size) == FALSE || size.QuadPart < 0) return ReadResult::Failed;

  std::string content(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < content.size()) {
    const DWORD wanted = static_cast<DWORD>(std::min<size_t>(content.size() - done, kPiece));
    DWORD got = 0;
    if (ReadFile(file.Get(), content.data() + done, wanted, &got, nullptr) == FALSE) return ReadResult::Failed;
    if (got == 0) break;  // the file shrank meanwhile
    done += got;
  }
  content.resize(done);
  bytes = std::move(content);
  return ReadResult::Read;
}

// The new content goes to a file of its own beside the old one, which is
// replaced only once every byte is on the disk: a full disk or a failed write
// leaves the user's file exactly as it was.
bool Win32FileStore::WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::string temporary;
  UniqueHandle file = CreateSiblingFile(path, temporary);
  if (!file) return false;
  const bool written = WriteAll(file.Get(), bytes);
  file.Reset();
  if (written && PutInPlace(temporary, path)) return true;
  DeleteFileA(temporary.c_str());
  return false;
}

bool Win32FileStore::RenameNoReplace(const std::string& from, const std::string& to) {
  return MoveFileA(from.c_str(), to.c_str()) != FALSE;
}

bool Win32FileStore::Remove(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }

}  // namespace kavrin::win32
