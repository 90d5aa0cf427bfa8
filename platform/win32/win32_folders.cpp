#include "platform/win32/win32_folders.hpp"

#include <windows.h>

#include "core/text.hpp"
#include "platform/win32/unique_resource.hpp"

namespace kavrin::win32 {

namespace {

// A drive without its medium (an empty optical drive, a card reader) is
// reported as an error of the call, not in a box of the system's that asks
// the user to insert one.
class QuietDriveErrors {
 public:
  QuietDriveErrors() { SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous_); }
  ~QuietDriveErrors() { SetThreadErrorMode(previous_, nullptr); }
  QuietDriveErrors(const QuietDriveErrors&) = delete;
  QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;

 private:
  DWORD previous_ = 0;
};

DWORD Attributes(const std::string& path) {
  const QuietDriveErrors quiet;
  return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(path.c_str());
}

}  // namespace

bool Win32Folders::NamesExistingFile(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32Folders::NamesExistingFolder(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32Folders::ReadFolder(const std::string& folder, std::vector<std::string>& folders,
                              std::vector<std::string>& files) {
  const QuietDriveErrors quiet;
  WIN32_FIND_DATAA entry;
  const UniqueFind search(FindFirstFileA((WithTrailingDelimiter(folder) + "*").c_str(), &entry));
  if (!search) return GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    const std::string name = entry.cFileName;
    if ((entry.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0) continue;
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      files.push_back(name);
    } else if (name != "." && name != "..") {
      folders.push_back(name);
    }
  } while (FindNextFileA(search.Get(), &entry));
  return true;
}

bool Win32Folders::CreateFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != FALSE; }

// Only a real file tells whether the folder takes one: a read-only medium,
// the folder's rights or a share that is gone all refuse it. The file goes
// with its handle, also when the program is killed meanwhile.
Folders::NewFiles Win32Folders::CanCreateFilesIn(const std::string& folder, std::uint32_t& errorCode) {
  const QuietDriveErrors quiet;
  for (int n = 0; n < 100; ++n) {
    const std::string name = WithTrailingDelimiter(folder) + "~kv" + std::to_string(n) + ".tmp";
    const UniqueHandle file(CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (file) return NewFiles::Allowed;
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_EXISTS) continue;
    if (NamesExistingFile(WithoutTrailingDelimiter(folder))) return NewFiles::NotAFolder;
    if (error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND) return NewFiles::FolderMissing;
    errorCode = error;
    return NewFiles::Refused;
  }
  errorCode = ERROR_FILE_EXISTS;
  return NewFiles::Refused;
}

std::string Win32Folders::CurrentFolder() {
  const DWORD needed = GetCurrentDirectoryA(0, nullptr);
  if (needed == 0) return std::string();
  std::string folder(needed, '\0');
  const DWORD written = GetCurrentDirectoryA(needed, folder.data());
  folder.resize(written < needed ? written : 0);
  return folder;
}

void Win32Folders::SetCurrentFolder(const std::string& path) { SetCurrentDirectoryA(path.c_str()); }

}  // namespace kavrin::win32
