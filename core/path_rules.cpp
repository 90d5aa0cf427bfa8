#include "core/path_rules.hpp"

#include "core/text.hpp"

namespace kavrin {

bool StartsWithDrive(const std::string& path) {
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

size_t RootLength(std::string_view path) {
  if (path.size() >= 2 && path[1] == ':') return path.size() >= 3 && path[2] == '\\' ? 3 : 2;
  if (path.rfind("\\\\", 0) != 0) return path.empty() || path[0] != '\\' ? 0 : 1;
  size_t end = 2;
  for (int part = 0; part < 2 && end < path.size(); ++part) {
    const size_t delimiter = FindFirstCharOf(path.substr(end), "\\");
    end = delimiter == std::string_view::npos ? path.size() : end + delimiter + 1;
  }
  return end;
}

std::vector<std::string> FoldersOnPath(std::string folder) {
  const size_t root = RootLength(folder);
  if (folder.size() > root) folder = WithoutTrailingDelimiter(folder);
  std::vector<std::string> folders;
  for (std::string path = folder; path.size() > root; path = ExtractFileDir(path)) folders.push_back(path);
  folders.push_back(WithTrailingDelimiter(folder.substr(0, root)));
  return std::vector<std::string>(folders.rbegin(), folders.rend());
}

}  // namespace kavrin
