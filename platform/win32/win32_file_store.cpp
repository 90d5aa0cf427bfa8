#include <windows.h>

#include <algorithm>

// After windows.h, so that its MoveFile and DeleteFile macros are undone.
#include "platform/win32/win32_file_store.hpp"
#include "platform/win32/win32_handle.hpp"

namespace kavrin::win32 {

namespace {
// ReadFile and WriteFile take 32-bit counts; larger files go in pieces.
constexpr DWORD kPiece = 1u << 30;
}  // namespace

bool Win32FileStore::ReadWholeFile(const std::string& path, std::string& bytes) {
  // Others may read along but not write while the log is read.
  const UniqueHandle file(
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER size;
  if (GetFileSizeEx(file.Get(), &size) == FALSE || size.QuadPart < 0) return false;

  std::string content(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < content.size()) {
    const DWORD wanted = static_cast<DWORD>(std::min<size_t>(content.size() - done, kPiece));
    DWORD got = 0;
    if (ReadFile(file.Get(), content.data() + done, wanted, &got, nullptr) == FALSE) return false;
    if (got == 0) break;  // the file shrank meanwhile
    done += got;
  }
  content.resize(done);
  bytes = std::move(content);
  return true;
}

bool Win32FileStore::WriteWholeFile(const std::string& path, const std::string& bytes) {
  const UniqueHandle file(
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD wanted = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, kPiece));
    DWORD written = 0;
    if (WriteFile(file.Get(), bytes.data() + done, wanted, &written, nullptr) == FALSE || written == 0) {
      return false;
    }
    done += written;
  }
  return true;
}

bool Win32FileStore::MoveFile(const std::string& from, const std::string& to) {
  return MoveFileA(from.c_str(), to.c_str()) != FALSE;
}

bool Win32FileStore::DeleteFile(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }

}  // namespace kavrin::win32
