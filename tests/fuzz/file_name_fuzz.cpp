// The FileName reading and writing rules of the file-name fields, and the
// widget rules built on them, over arbitrary texts.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/error.hpp"
#include "core/file_name_rules.hpp"
#include "core/text.hpp"
#include "core/widget_rules.hpp"
#include "fuzz/fuzz_check.hpp"
#include "fuzz/fuzz_input.hpp"

namespace {

using namespace kavrin;

bool IsBreak(char c) { return static_cast<unsigned char>(c) <= 32; }

// A text that the field's quoting carries through unchanged: no quote and
// no control character.
bool SurvivesQuoting(const std::string& text) {
  for (char c : text) {
    if (c == '"' || static_cast<unsigned char>(c) < 32) return false;
  }
  return true;
}

void CheckFirstWord(const std::string& text) {
  const std::string word = FirstCommandLineWord(text);
  FUZZ_CHECK(word.size() <= text.size() && word.find('"') == std::string::npos);
  if (text.find('"') != std::string::npos) return;
  // Unquoted, the word is the first run of characters above 32.
  size_t at = 0;
  while (at < text.size() && text[at] != '\0' && IsBreak(text[at])) ++at;
  FUZZ_CHECK(text.compare(at, word.size(), word) == 0);
  for (char c : word) FUZZ_CHECK(!IsBreak(c));
  const size_t end = at + word.size();
  FUZZ_CHECK(end == text.size() || IsBreak(text[end]));
}

void CheckFieldText(const std::string& value, bool namesExistingFile) {
  const std::string reading = FileNameReading(value, namesExistingFile);
  FUZZ_CHECK(reading == (namesExistingFile ? value : FirstCommandLineWord(value)));
  const bool refused = !value.empty() && !IsValidFileName(reading);
  std::string text;
  try {
    text = FileNameFieldText(value, namesExistingFile);
  } catch (const KavrinError& error) {
    FUZZ_CHECK(refused);
    // The message is a C string: it ends at a NUL in the value.
    FUZZ_CHECK(std::string(error.what()) == ("Invalid file name - " + value).c_str());
    return;
  }
  FUZZ_CHECK(!refused);
  const bool quoted = value.find(' ') != std::string::npos && value.front() != '"';
  FUZZ_CHECK(text == (quoted ? '"' + value + '"' : value));
  FUZZ_CHECK(QuotedIfBlank(value) == text);
  // What is written reads back as it was given.
  if (SurvivesQuoting(value)) FUZZ_CHECK(FileNameReading(text, false) == value);
}

void CheckBrowseStart(const std::string& reading) {
  for (const bool exists : {false, true}) {
    const FileBrowseStart start = StartOfFileBrowse(reading, [exists](const std::string&) { return exists; });
    if (!IsValidFileName(reading)) {
      FUZZ_CHECK(!start.initialDir && !start.fileName);
      continue;
    }
    FUZZ_CHECK(start.fileName && (start.fileName->empty() || *start.fileName == reading));
    FUZZ_CHECK(!!start.initialDir == (exists && !ExtractFileDir(reading).empty()));
    if (start.initialDir) FUZZ_CHECK(*start.initialDir == ExtractFileDir(reading));
  }
}

void CheckDialogFiles(const std::string& buffer) {
  const std::vector<std::string> files = DialogFiles(buffer);
  std::vector<std::string> parts;
  for (size_t at = 0; at < buffer.size() && buffer[at] != '\0';) {
    const size_t end = std::min(buffer.find('\0', at), buffer.size());
    parts.push_back(buffer.substr(at, end - at));
    at = end + 1;
  }
  if (parts.size() <= 1) {
    FUZZ_CHECK(files == parts);
    return;
  }
  // A folder, then the names in it.
  FUZZ_CHECK(files.size() == parts.size() - 1);
  const std::string folder = WithTrailingDelimiter(parts[0]);
  for (size_t i = 0; i < files.size(); ++i) FUZZ_CHECK(files[i] == folder + parts[i + 1]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const fuzz::CodePageChoice codePage(input);
  const bool namesExistingFile = input.ConsumeBool();
  const std::string text = input.ConsumeRemainingBytesAsString();
  CheckFirstWord(text);
  CheckFieldText(text, namesExistingFile);
  CheckBrowseStart(text);
  CheckDialogFiles(text);
  return 0;
}
