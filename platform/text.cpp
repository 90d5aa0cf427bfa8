#include "platform/text.hpp"

#include "platform/error.hpp"

namespace kavrin {

namespace {
bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 32; }
}  // namespace

std::string Trim(std::string_view text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && IsTrimmed(text[first])) ++first;
  while (last > first && IsTrimmed(text[last - 1])) --last;
  return std::string(text.substr(first, last - first));
}

std::string WithTrailingDelimiter(std::string_view folder) {
  std::string result(folder);
  if (result.empty() || result.back() != '\\') result += '\\';
  return result;
}

std::string ExtractFileDir(std::string_view path) {
  const size_t cut = path.find_last_of("\\:/");
  if (cut == std::string_view::npos) return std::string();
  // "C:name" keeps the drive, and a root keeps its delimiter.
  const bool keepsCut = path[cut] == ':' || cut == 0 || path[cut - 1] == ':';
  return std::string(path.substr(0, keepsCut ? cut + 1 : cut));
}

std::string ExtractFileName(std::string_view path) {
  const size_t cut = path.find_last_of("\\:/");
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string UpperAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return result;
}

std::string ZeroPad(long long number, int width) {
  std::string digits = std::to_string(number);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

std::string FormatMessageText(const std::string& pattern, const std::string& value) {
  const size_t at = pattern.find("%s");
  if (at == std::string::npos) return pattern;
  std::string text;
  text.reserve(pattern.size() + value.size());
  text.append(pattern, 0, at).append(value).append(pattern, at + 2, std::string::npos);
  return text;
}

}  // namespace kavrin
