#include "platform/win32/win32_file_store.hpp"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/text.hpp"
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

// The folder part of `path` with its delimiter, or "" for a bare name.
std::string FolderPrefix(const std::string& path) {
  const size_t last = FindLastCharOf(path, "\\/:");
  return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

// "~kv" and a number, ".tmp": short, so that a long log path stays usable.
bool IsOwnTemporaryName(const std::string& name) {
  const std::string upper = UpperAscii(name);
  if (upper.size() <= 7 || upper.compare(0, 3, "~KV") != 0 || upper.compare(upper.size() - 4, 4, ".TMP") != 0) {
    return false;
  }
  return std::all_of(upper.begin() + 3, upper.end() - 4, [](char c) { return c >= '0' && c <= '9'; });
}

// What an earlier write left when the program was killed in the middle.
void RemoveOwnLeftovers(const std::string& folder) {
  WIN32_FIND_DATAA found;
  const UniqueFind search(FindFirstFileA((folder + "~kv*.tmp").c_str(), &found));
  if (!search) return;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && IsOwnTemporaryName(found.cFileName)) {
      DeleteFileA((folder + found.cFileName).c_str());
    }
  } while (FindNextFileA(search.Get(), &found) != FALSE);
}

// A new file beside `path` that nobody else has, for the first N whose name
// "~kvN.tmp" is free.
UniqueHandle CreateSiblingFile(const std::string& path, std::string& name) {
  const std::string folder = FolderPrefix(path);
  RemoveOwnLeftovers(folder);
  for (int n = 0; n < 100; ++n) {
    name = folder + "~kv" + std::to_string(n) + ".tmp";
    UniqueHandle file(CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return UniqueHandle();
}

// Another program holds the file without delete sharing, or a scanner has it
// open for a moment: a later try may succeed.
bool IsBusy(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_UNABLE_TO_REMOVE_REPLACED || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT ||
         error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2;
}

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// Puts the written file in the place of `path`. With a backup name the old
// file is never lost on the way, and comes back when the last step fails.
// ReplaceFileA keeps the old file's attributes on Windows; Wine's does not,
// so a hidden or system log gets them back here.
FileStore::WriteResult PutInPlace(const std::string& written, const std::string& path) {
  using WriteResult = FileStore::WriteResult;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES && IsMissing(GetLastError())) {
    return MoveFileExA(written.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE ? WriteResult::Written
                                                                                       : WriteResult::Failed;
  }
  const std::string backup = written + ".old";
  if (ReplaceFileA(path.c_str(), written.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) ==
      FALSE) {
    const DWORD error = GetLastError();
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) MoveFileA(backup.c_str(), path.c_str());
    return IsBusy(error) ? WriteResult::Busy : WriteResult::Failed;
  }
  DeleteFileA(backup.c_str());
  const DWORD kept = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
  const DWORD now = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && now != INVALID_FILE_ATTRIBUTES && (now & kept) != kept) {
    SetFileAttributesA(path.c_str(), now | kept);
  }
  return WriteResult::Written;
}

}  // namespace

FileStore::ReadResult Win32FileStore::ReadWholeFile(const std::string& path, std::string& bytes,
                                                    std::uint32_t& errorCode) {
  const auto failed = [&errorCode] {
    errorCode = GetLastError();
    return ReadResult::Failed;
  };
  // Others may read along but not write while the log is read.
  const UniqueHandle file(
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return IsMissing(GetLastError()) ? ReadResult::NotFound : failed();
  LARGE_INTEGER size;
  if (GetFileSizeEx(file.Get(), &size) == FALSE || size.QuadPart < 0) return failed();

  std::string content(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < content.size()) {
    const DWORD wanted = static_cast<DWORD>(std::min<size_t>(content.size() - done, kPiece));
    DWORD got = 0;
    if (ReadFile(file.Get(), content.data() + done, wanted, &got, nullptr) == FALSE) return failed();
    if (got == 0) break;  // the file shrank meanwhile
    done += got;
  }
  content.resize(done);
  bytes = std::move(content);
  return ReadResult::Read;
}

// In large pieces, read ahead by the system: a 74-minute track is some
// 780 MB.
bool Win32FileStore::ReadInPieces(const std::string& path,
                                  const std::function<bool(std::span<const std::uint8_t> piece)>& take) {
  const UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return false;
  std::vector<std::uint8_t> buffer(std::size_t{4} << 20);
  for (;;) {
    DWORD got = 0;
    if (ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) == FALSE) return false;
    if (got == 0) return true;
    if (!take(std::span<const std::uint8_t>(buffer.data(), got))) return true;
  }
}

// The new content goes to a file of its own beside the old one, which is
// replaced only once every byte is on the disk: a full disk or a failed write
// leaves the user's file exactly as it was.
FileStore::WriteResult Win32FileStore::ReplaceWholeFile(const std::string& path, const std::string& bytes) {
  std::string temporary;
  UniqueHandle file = CreateSiblingFile(path, temporary);
  if (!file) return WriteResult::Failed;
  const bool written = WriteAll(file.Get(), bytes);
  file.Reset();
  const WriteResult result = written ? PutInPlace(temporary, path) : WriteResult::Failed;
  if (result != WriteResult::Written) DeleteFileA(temporary.c_str());
  return result;
}

// Others may read and write along, as a program that holds a log open for
// its own report expects. A read-only log is left alone, also where the
// system would let its owner write (Wine run by root).
bool Win32FileStore::AppendToFile(const std::string& path, const std::string& bytes) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return false;
  const UniqueHandle file(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file && WriteAll(file.Get(), bytes);
}

bool Win32FileStore::RenameNoReplace(const std::string& from, const std::string& to) {
  return MoveFileA(from.c_str(), to.c_str()) != FALSE;
}

bool Win32FileStore::Remove(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }

bool Win32FileStore::RemoveOwnFile(const std::string& path, std::uint32_t& errorCode) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES && IsMissing(GetLastError())) return true;
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    SetFileAttributesA(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  }
  if (DeleteFileA(path.c_str()) != FALSE) return true;
  errorCode = GetLastError();
  if (IsMissing(errorCode)) return true;
  // Left as it was found.
  if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesA(path.c_str(), attributes);
  return false;
}

// The file's own record, not the folder's listing, which may lag behind a
// file that is still being written.
std::optional<std::uint64_t> Win32FileStore::SizeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) == FALSE ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return std::nullopt;
  }
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace kavrin::win32
