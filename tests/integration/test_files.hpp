#pragma once

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "core/text.hpp"
#include "platform/win32/win32_profile.hpp"

// File helpers shared by the integration tests.
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

}  // namespace kavrin::win32
