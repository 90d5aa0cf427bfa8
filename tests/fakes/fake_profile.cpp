#include "fakes/fake_profile.hpp"

#include "core/text.hpp"

namespace kavrin::fakes {

namespace {

bool SameName(const std::string& a, const std::string& b) { return UpperAscii(a) == UpperAscii(b); }

// The section name of a "[name]" line, or no value.
bool SectionOf(const std::string& line, std::string& name) {
  const std::string trimmed = Trim(line);
  if (trimmed.size() < 2 || trimmed.front() != '[') return false;
  const size_t close = trimmed.find(']');
  if (close == std::string::npos) return false;
  name = Trim(trimmed.substr(1, close - 1));
  return true;
}

bool KeyOf(const std::string& line, std::string& key, std::string& value) {
  const size_t eq = line.find('=');
  if (eq == std::string::npos) return false;
  key = Trim(line.substr(0, eq));
  value = line.substr(eq + 1);
  return true;
}

std::string Unquote(std::string value) {
  value = Trim(value);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

std::string FakeProfileStore::ReadString(const std::string& file, const std::string& section, const std::string& key,
                                         const std::string& defaultValue) {
  readKeys.push_back(section + "/" + key);
  const auto found = files_.find(file);
  if (found == files_.end()) return defaultValue.substr(0, 2047);
  bool inSection = false;
  for (const std::string& line : found->second) {
    std::string name;
    std::string value;
    if (SectionOf(line, name)) {
      inSection = SameName(name, section);
    } else if (inSection && KeyOf(line, name, value) && SameName(name, key)) {
      return Unquote(value).substr(0, 2047);
    }
  }
  return defaultValue.substr(0, 2047);
}

bool FakeProfileStore::WriteString(const std::string& file, const std::string& section, const std::string& key,
                                   const std::string& value) {
  ++writes;
  if (failFromWrite != 0 && writes >= failFromWrite) return false;
  std::vector<std::string>& lines = files_[file];
  const std::string entry = key + "=" + value;
  bool inSection = false;
  auto sectionEnd = lines.end();
  for (auto line = lines.begin(); line != lines.end(); ++line) {
    std::string name;
    std::string old;
    if (SectionOf(*line, name)) {
      if (inSection) break;
      inSection = SameName(name, section);
      if (inSection) sectionEnd = line + 1;
    } else if (inSection) {
      if (KeyOf(*line, name, old) && SameName(name, key)) {
        *line = entry;
        return true;
      }
      if (!Trim(*line).empty()) sectionEnd = line + 1;
    }
  }
  if (sectionEnd == lines.end() && !inSection) {
    lines.push_back("[" + section + "]");
    lines.push_back(entry);
  } else {
    lines.insert(sectionEnd, entry);
  }
  return true;
}

void FakeProfileStore::SetFileText(const std::string& file, const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  files_[file] = lines;
}

std::string FakeProfileStore::FileText(const std::string& file) const {
  const auto found = files_.find(file);
  if (found == files_.end()) return std::string();
  std::string text;
  for (const std::string& line : found->second) text += line + "\r\n";
  return text;
}

}  // namespace kavrin::fakes
