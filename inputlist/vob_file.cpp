#include "inputlist/vob_file.hpp"

#include "core/text.hpp"

namespace kavrin {

std::string FileExtension(std::string_view path) {
  // A dot inside a folder name ("Film.vob\track") is no extension.
  const size_t dot = FindLastCharOf(path, ".\\:");
  if (dot == std::string_view::npos || path[dot] != '.') return std::string();
  return std::string(path.substr(dot));
}

std::string StreamName(int stream) {
  static constexpr char kHexDigits[] = "0123456789ABCDEF";
  const int id = 0x80 + stream;
  return std::string("0x") + kHexDigits[(id >> 4) & 0xF] + kHexDigits[id & 0xF];
}

bool IsVobFile(std::string_view path) { return UpperAscii(FileExtension(path)) == ".VOB"; }

}  // namespace kavrin
