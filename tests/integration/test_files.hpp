#pragma once

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/text.hpp"
#include "platform/win32/unique_resource.hpp"
#include "platform/win32/win32_profile.hpp"

// File helpers shared by the integration and end-to-end tests.
namespace kavrin::win32 {

// The folder of the running test executable; the stand-in tools are built below it.
inline std::string ModuleFolder() { return ExtractFileDir(Win32ProgramLocation().ExecutablePath()); }

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteAll(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

inline bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// What a folder holds, "." and ".." aside, in the order the system lists it.
inline std::vector<WIN32_FIND_DATAA> FolderEntries(const std::string& folder) {
  std::vector<WIN32_FIND_DATAA> entries;
  WIN32_FIND_DATAA found;
  const UniqueFind search(FindFirstFileA((folder + "\\*").c_str(), &found));
  if (!search) return entries;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") entries.push_back(found);
  } while (FindNextFileA(search.Get(), &found));
  return entries;
}

// Removes a folder with all it holds, read-only files too.
inline void RemoveTree(const std::string& folder) {
  for (const WIN32_FIND_DATAA& entry : FolderEntries(folder)) {
    const std::string path = folder + "\\" + entry.cFileName;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      RemoveTree(path);
    } else {
      DeleteFileA(path.c_str());
    }
  }
  RemoveDirectoryA(folder.c_str());
}

}  // namespace kavrin::win32
