#include "inputlist/vob_file.hpp"

#include "platform/text.hpp"

namespace kavrin {

std::string FileExtension(std::string_view path) {
  // A dot inside a folder name ("Film.vob\track") is no extension.
  const size_t dot = FindLastCharOf(path, ".\\:");
  if (dot == std::string_view::npos || path[dot] != '.') return std::string();
  return std::string(path.substr(dot));
}

bool IsVobFile(std::string_view path) { return UpperAscii(FileExtension(path)) == ".VOB"; }

}  // namespace kavrin
