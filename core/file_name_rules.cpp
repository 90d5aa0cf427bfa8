#include "core/file_name_rules.hpp"

#include "core/error.hpp"
#include "core/text.hpp"

namespace kavrin {

std::string FirstCommandLineWord(std::string_view text) {
  size_t at = 0;
  // Skip blanks, control characters and empty quote pairs before the word.
  while (at < text.size()) {
    const auto c = static_cast<unsigned char>(text[at]);
    if (c >= 1 && c <= 32) {
      ++at;
    } else if (c == '"' && at + 1 < text.size() && text[at + 1] == '"') {
      at += 2;
    } else {
      break;
    }
  }
  std::string word;
  bool quoted = false;
  for (; at < text.size(); ++at) {
    const char c = text[at];
    if (c == '"') {
      quoted = !quoted;
    } else if (static_cast<unsigned char>(c) <= 32 && !quoted) {
      break;
    } else {
      word += c;
    }
  }
  return word;
}

bool IsValidFileName(std::string_view name) {
  // "[", "]" and "|" are trail bytes of many two-byte characters.
  return !name.empty() && FindFirstCharOf(name, "<>\"[]|") == std::string_view::npos;
}

std::string FileNameReading(std::string_view text, bool textNamesExistingFile) {
  if (textNamesExistingFile) return std::string(text);
  return FirstCommandLineWord(text);
}

std::string FileNameFieldText(const std::string& value, bool valueNamesExistingFile) {
  if (value.empty()) return value;
  if (!IsValidFileName(FileNameReading(value, valueNamesExistingFile))) {
    throw KavrinError(FormatMessageText("Invalid file name - %s", value));
  }
  if (value.find(' ') != std::string::npos && value.front() != '"') return '"' + value + '"';
  return value;
}

}  // namespace kavrin
