#include "core/widget_rules.hpp"

#include "core/file_name_rules.hpp"
#include "core/text.hpp"

namespace kavrin {

PixelRect PlaceDropDown(const PixelRect& field, int width, int height, const PixelRect& workArea) {
  PixelRect place{field.left, field.bottom, field.left + width, field.bottom + height};
  const int roomAbove = field.top - workArea.top;
  const int roomBelow = workArea.bottom - field.bottom;
  if (place.bottom > workArea.bottom && roomAbove > roomBelow) {
    place.top = field.top - height;
    place.bottom = field.top;
  }
  const int fieldWidth = field.right - field.left;
  if (width > fieldWidth && place.right > workArea.right && field.right - workArea.left > workArea.right - field.left) {
    place.left = field.right - width;
    place.right = field.right;
  }
  return place;
}

std::string DialogFilter(std::string_view filter) {
  std::string packed(filter);
  for (char& c : packed) {
    if (c == '|') c = '\0';
  }
  packed.append(2, '\0');
  return packed;
}

std::string DialogDefaultExtension(std::string_view defaultExt) {
  const size_t start = defaultExt.find_first_not_of("*.");
  return start == std::string_view::npos ? std::string() : std::string(defaultExt.substr(start));
}

std::vector<std::string> DialogFiles(std::string_view buffer) {
  std::vector<std::string> parts;
  size_t at = 0;
  while (at < buffer.size() && buffer[at] != '\0') {
    size_t end = buffer.find('\0', at);
    if (end == std::string_view::npos) end = buffer.size();
    parts.emplace_back(buffer.substr(at, end - at));
    at = end + 1;
  }
  if (parts.size() <= 1) return parts;
  // A folder, then the names chosen in it.
  const std::string folder = WithTrailingDelimiter(parts.front());
  std::vector<std::string> files;
  files.reserve(parts.size() - 1);
  for (size_t i = 1; i < parts.size(); ++i) files.push_back(folder + parts[i]);
  return files;
}

std::string QuotedIfBlank(const std::string& path) {
  if (path.find(' ') != std::string::npos && (path.empty() || path.front() != '"')) return '"' + path + '"';
  return path;
}

FileBrowseStart StartOfFileBrowse(const std::string& reading, const FolderExists& folderExists) {
  FileBrowseStart start;
  if (!IsValidFileName(reading)) return start;
  const std::string folder = ExtractFileDir(reading);
  if (!folder.empty() && folderExists(folder)) start.initialDir = folder;
  const std::string name = ExtractFileName(reading);
  start.fileName = name.empty() || !IsValidFileName(name) ? std::string() : reading;
  return start;
}

std::string StartOfFolderBrowse(const std::string& text, const std::string& lastChosen,
                                const FolderExists& folderExists) {
  const std::string root(1, '\\');
  const std::string& start = !text.empty() ? text : !lastChosen.empty() ? lastChosen : root;
  return folderExists(start) ? start : root;
}

std::vector<std::string> MissingFolders(const std::string& folder, const FolderExists& folderExists) {
  std::vector<std::string> missing;
  std::string path = folder;
  while (!path.empty()) {
    const bool root = ExtractFileDir(path) == path;
    if (!root) path = WithoutTrailingDelimiter(path);
    if (root || folderExists(path)) break;
    missing.insert(missing.begin(), path);
    path = ExtractFileDir(path);
  }
  return missing;
}

}  // namespace kavrin
