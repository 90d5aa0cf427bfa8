// The path rules over arbitrary bytes, read in code page 932 and in a
// single-byte code page.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/code_page.hpp"
#include "core/file_name_rules.hpp"
#include "core/text.hpp"
#include "core/widget_rules.hpp"
#include "fakes/fake_code_page.hpp"
#include "fuzz/fuzz_check.hpp"
#include "fuzz/fuzz_input.hpp"
#include "inputlist/vob_file.hpp"

namespace {

using namespace kavrin;

struct Results {
  std::string withDelimiter, withoutDelimiter, dir, name, extension;
  bool valid = false;
  std::vector<std::string> missing;

  bool operator==(const Results&) const = default;
};

Results Apply(const std::string& path) {
  return {WithTrailingDelimiter(path),
          WithoutTrailingDelimiter(path),
          ExtractFileDir(path),
          ExtractFileName(path),
          FileExtension(path),
          IsValidFileName(path),
          MissingFolders(path, [](const std::string&) { return false; })};
}

// Where characters begin, by the plain definition: a lead byte with a byte
// after it takes that byte along. The extra entry marks the end.
std::vector<bool> CharStarts(std::string_view text, const CodePage& codePage) {
  std::vector<bool> starts(text.size() + 1, false);
  for (size_t at = 0; at < text.size();) {
    starts[at] = true;
    at += at + 1 < text.size() && codePage.IsLeadByte(static_cast<unsigned char>(text[at])) ? 2 : 1;
  }
  starts[text.size()] = true;
  return starts;
}

// A one-byte character, one of `chars`, at `at`.
bool IsCharOf(std::string_view text, const std::vector<bool>& starts, size_t at, std::string_view chars) {
  return at < text.size() && starts[at] && starts[at + 1] && chars.find(text[at]) != std::string_view::npos;
}

bool HasCharOf(std::string_view text, const std::vector<bool>& starts, size_t from, std::string_view chars) {
  for (size_t at = from; at < text.size(); ++at) {
    if (IsCharOf(text, starts, at, chars)) return true;
  }
  return false;
}

bool EndsWithDelimiter(std::string_view text, const CodePage& codePage) {
  return !text.empty() && IsCharOf(text, CharStarts(text, codePage), text.size() - 1, "\\");
}

void CheckInvariants(const std::string& path, const Results& r, const CodePage& codePage) {
  const std::vector<bool> starts = CharStarts(path, codePage);
  const bool endsInLoneLeadByte =
      !path.empty() && starts[path.size() - 1] && codePage.IsLeadByte(static_cast<unsigned char>(path.back()));

  // A delimiter is appended exactly when the path does not end in a real one,
  // and then it is a character of its own, not the trail of the last one.
  const bool endsInDelimiter = EndsWithDelimiter(path, codePage);
  FUZZ_CHECK(r.withDelimiter == (endsInDelimiter ? path : path + "\\"));
  if (!endsInLoneLeadByte) FUZZ_CHECK(EndsWithDelimiter(r.withDelimiter, codePage));
  FUZZ_CHECK(r.withoutDelimiter == (endsInDelimiter ? path.substr(0, path.size() - 1) : path));

  // The name is what follows the last real delimiter and holds none.
  FUZZ_CHECK(r.name.size() <= path.size());
  const size_t nameAt = path.size() - r.name.size();
  FUZZ_CHECK(path.compare(nameAt, std::string::npos, r.name) == 0);
  FUZZ_CHECK(starts[nameAt]);
  FUZZ_CHECK(!HasCharOf(path, starts, nameAt, "\\:/"));
  FUZZ_CHECK(nameAt == 0 || IsCharOf(path, starts, nameAt - 1, "\\:/"));

  // Folder, at most one delimiter, name: together the whole path.
  FUZZ_CHECK(path.compare(0, r.dir.size(), r.dir) == 0);
  FUZZ_CHECK(r.dir.size() <= nameAt && nameAt - r.dir.size() <= 1);
  if (r.dir.size() < nameAt) FUZZ_CHECK(IsCharOf(path, starts, r.dir.size(), "\\/"));
  if (nameAt == 0) FUZZ_CHECK(r.dir.empty());

  // The extension starts at the last real dot after the last real "\" or ":".
  if (r.extension.empty()) {
    size_t lastDot = path.size();
    for (size_t at = 0; at < path.size(); ++at) {
      if (IsCharOf(path, starts, at, ".")) lastDot = at;
    }
    FUZZ_CHECK(lastDot == path.size() || HasCharOf(path, starts, lastDot + 1, "\\:"));
  } else {
    FUZZ_CHECK(r.extension.size() <= path.size());
    const size_t dotAt = path.size() - r.extension.size();
    FUZZ_CHECK(path.compare(dotAt, std::string::npos, r.extension) == 0);
    FUZZ_CHECK(IsCharOf(path, starts, dotAt, "."));
    FUZZ_CHECK(!HasCharOf(path, starts, dotAt + 1, ".\\:"));
  }

  FUZZ_CHECK(r.valid == (!path.empty() && !HasCharOf(path, starts, 0, "<>\"[]|")));

  // The folders to make: ever longer, each a part of the path ending at a character.
  size_t previous = 0;
  for (const std::string& folder : r.missing) {
    FUZZ_CHECK(!folder.empty() && folder.size() > previous && folder.size() <= path.size());
    FUZZ_CHECK(path.compare(0, folder.size(), folder) == 0 && starts[folder.size()]);
    previous = folder.size();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzz::InputText(data, size);
  const fakes::FakeCodePage932 codePage932;
  const Results singleByte = Apply(path);
  Results inCodePage932;
  {
    const ScopedCodePage installed(codePage932);
    inCodePage932 = Apply(path);
    CheckInvariants(path, inCodePage932, codePage932);
  }
  CheckInvariants(path, singleByte, InstalledCodePage());

  // Without lead bytes, code page 932 reads a path as a single-byte code page does.
  bool hasLeadByte = false;
  for (char c : path) hasLeadByte = hasLeadByte || codePage932.IsLeadByte(static_cast<unsigned char>(c));
  if (!hasLeadByte) FUZZ_CHECK(inCodePage932 == singleByte);
  return 0;
}
