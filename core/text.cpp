#include "core/text.hpp"

#include "core/code_page.hpp"

namespace kavrin {

namespace {

bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 32; }

// The length of the character that begins at `at`: a lead byte takes the
// byte after it along, whatever its value. A lead byte that ends the text
// stands alone.
size_t CharLength(std::string_view text, size_t at) {
  return at + 1 < text.size() && InstalledCodePage().IsLeadByte(static_cast<unsigned char>(text[at])) ? 2 : 1;
}

bool IsCharOf(std::string_view text, size_t at, std::string_view chars) {
  return CharLength(text, at) == 1 && chars.find(text[at]) != std::string_view::npos;
}

// Whether the last character of the text is the single-byte `c`. Only a walk
// from the start tells a trail byte from a character.
bool EndsWithChar(std::string_view text, char c) {
  size_t last = std::string_view::npos;
  for (size_t at = 0; at < text.size(); at += CharLength(text, at)) last = at;
  return last != std::string_view::npos && last + 1 == text.size() && text[last] == c;
}

}  // namespace

std::string Trim(std::string_view text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && IsTrimmed(text[first])) ++first;
  while (last > first && IsTrimmed(text[last - 1])) --last;
  return std::string(text.substr(first, last - first));
}

std::string UnquotedFieldText(std::string_view text) {
  std::string name = Trim(text);
  if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
  return name;
}

size_t FindFirstCharOf(std::string_view text, std::string_view chars) {
  for (size_t at = 0; at < text.size(); at += CharLength(text, at)) {
    if (IsCharOf(text, at, chars)) return at;
  }
  return std::string_view::npos;
}

size_t FindLastCharOf(std::string_view text, std::string_view chars) {
  size_t found = std::string_view::npos;
  for (size_t at = 0; at < text.size(); at += CharLength(text, at)) {
    if (IsCharOf(text, at, chars)) found = at;
  }
  return found;
}

std::string WithTrailingDelimiter(std::string_view folder) {
  std::string result(folder);
  if (!EndsWithChar(result, '\\')) result += '\\';
  return result;
}

std::string WithoutTrailingDelimiter(std::string_view folder) {
  return std::string(EndsWithChar(folder, '\\') ? folder.substr(0, folder.size() - 1) : folder);
}

std::string ExtractFileDir(std::string_view path) {
  const size_t cut = FindLastCharOf(path, "\\:/");
  if (cut == std::string_view::npos) return std::string();
  // "C:name" keeps the drive, and a root keeps its delimiter.
  const bool keepsCut = path[cut] == ':' || cut == 0 || EndsWithChar(path.substr(0, cut), ':');
  return std::string(path.substr(0, keepsCut ? cut + 1 : cut));
}

std::string ExtractFileName(std::string_view path) {
  const size_t cut = FindLastCharOf(path, "\\:/");
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

}  // namespace kavrin
