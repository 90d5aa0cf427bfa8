// The BeSweet argument text from arbitrary field texts, read in code page
// 932 or a single-byte code page.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "batch/besweet_command_line.hpp"
#include "batch/log_file.hpp"
#include "batch/track_names.hpp"
#include "core/code_page.hpp"
#include "core/text.hpp"
#include "fuzz/fuzz_check.hpp"
#include "fuzz/fuzz_input.hpp"
#include "inputlist/vob_file.hpp"

namespace {

using namespace kavrin;

// Reads the argument text piece by piece; every piece must be where the
// format puts it.
class Pieces {
 public:
  explicit Pieces(const std::string& text) : text_(text) {}
  void Expect(const std::string& piece) {
    FUZZ_CHECK(text_.compare(at_, piece.size(), piece) == 0);
    at_ += piece.size();
  }
  bool AtEnd() const { return at_ == text_.size(); }

 private:
  const std::string& text_;
  size_t at_ = 0;
};

bool IsTrimmedEnd(char c) { return static_cast<unsigned char>(c) <= 32; }

// A field's text as used: trimmed, a substring of the text.
std::string Used(const std::string& text) {
  const std::string used = Trim(text);
  FUZZ_CHECK(used.empty() || (!IsTrimmedEnd(used.front()) && !IsTrimmedEnd(used.back())));
  FUZZ_CHECK(text.find(used) != std::string::npos);
  return used;
}

// The log's name: trimmed, and one enclosing pair of quotes removed.
std::string LogName(const std::string& text) {
  const std::string used = Used(text);
  if (used.size() >= 2 && used.front() == '"' && used.back() == '"') return used.substr(1, used.size() - 2);
  return used;
}

bool EndsInLoneLeadByte(const std::string& text) {
  const CodePage& codePage = InstalledCodePage();
  size_t last = std::string::npos;
  for (size_t at = 0; at < text.size();) {
    last = at;
    at += at + 1 < text.size() && codePage.IsLeadByte(static_cast<unsigned char>(text[at])) ? 2 : 1;
  }
  return last != std::string::npos && last + 1 == text.size() &&
         codePage.IsLeadByte(static_cast<unsigned char>(text[last]));
}

void CheckOutputName(const std::string& folder, const std::string& trackName, int number) {
  const std::string output = OutputFileName(folder, trackName, number);
  const std::string name = trackName + "-" + ZeroPad(number, 3) + ".wav";
  FUZZ_CHECK(output == WithTrailingDelimiter(folder) + name);
  // The track lands in the folder, whatever character the folder ends in.
  if (!EndsInLoneLeadByte(folder)) {
    FUZZ_CHECK(ExtractFileName(output) == name);
    FUZZ_CHECK(FileExtension(output) == ".wav");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const fuzz::CodePageChoice codePage(input);

  Job job;
  job.Mode = input.PickValueInArray({BatchMode::None, BatchMode::DtsCd, BatchMode::Ac3Cd, BatchMode::Cdda});
  job.TrackName = TrackName(job.Mode);
  if (input.ConsumeBool()) job.Stream = input.ConsumeIntegralInRange(0, 7);
  job.OutputNumber = input.ConsumeIntegralInRange(1, 100000);
  JobSettings& fields = job.Settings;
  fields.UseLogfile = input.ConsumeBool();
  fields.Normalize = input.ConsumeBool();
  for (std::string* text : {&job.InputPath, &job.TempFolder, &job.FinalFolder, &fields.LogfileText, &fields.Azid,
                            &fields.Ota, &fields.Ssrc, &fields.SsrcFixed, &fields.Boost}) {
    *text = input.ConsumeRandomLengthString(64);
  }

  const std::string arguments = BeSweetArguments(job);
  Pieces pieces(arguments);
  if (job.Mode != BatchMode::None) {
    CheckOutputName(job.FinalFolder, job.TrackName, job.OutputNumber);
    const bool dts = job.Mode == BatchMode::DtsCd;
    const std::string output = dts ? WithTrailingDelimiter(job.TempFolder) + "mono"
                                   : OutputFileName(job.FinalFolder, job.TrackName, job.OutputNumber);
    pieces.Expect("-core( -input \"" + job.InputPath + "\" -output \"" + output + "\"");
    pieces.Expect(dts ? " -6ch " : job.Mode == BatchMode::Ac3Cd ? " -ddwav " : " -2ch ");
  }
  const std::string logName = LogName(fields.LogfileText);
  FUZZ_CHECK(LoggingActive(fields.UseLogfile, fields.LogfileText) == (fields.UseLogfile && !logName.empty()));
  if (fields.UseLogfile && !logName.empty()) pieces.Expect("-logfilea \"" + logName + "\" ");
  if (job.Stream) pieces.Expect("-substream 0x8" + std::to_string(*job.Stream) + " ");
  pieces.Expect(") ");

  const std::string azid = Used(fields.Azid);
  if (fields.Normalize || !azid.empty()) {
    pieces.Expect("-azid( ");
    if (fields.Normalize) pieces.Expect("-g max ");
    if (!azid.empty()) pieces.Expect(azid + " ");
    pieces.Expect(") ");
  }
  const std::string ota = Used(fields.Ota);
  if (!ota.empty()) pieces.Expect("-ota( " + ota + " ) ");
  pieces.Expect("-ssrc( " + Used(fields.Ssrc) + " " + Used(fields.SsrcFixed) + " ) ");
  const std::string boost = Used(fields.Boost);
  if (!boost.empty()) pieces.Expect("-boost( " + boost + " ) ");
  FUZZ_CHECK(pieces.AtEnd());
  return 0;
}
