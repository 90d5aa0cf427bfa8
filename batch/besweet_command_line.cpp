#include "batch/besweet_command_line.hpp"

#include "batch/log_file.hpp"
#include "core/text.hpp"
#include "inputlist/vob_file.hpp"

namespace kavrin {

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Input, output and channel switch; nothing without a mode.
std::string ModePiece(const BeSweetJob& job, const BeSweetFields& fields) {
  std::string output;
  std::string channels;
  switch (job.Mode) {
    case BatchMode::None:
      return std::string();
    case BatchMode::DtsCd:
      output = WithTrailingDelimiter(fields.TempFolder) + "mono";
      channels = " -6ch ";
      break;
    case BatchMode::Ac3Cd:
      output = OutputFileName(fields.FinalOutputFolder, job.TrackName, job.OutputNumber);
      channels = " -ddwav ";
      break;
    case BatchMode::Cdda:
      output = OutputFileName(fields.FinalOutputFolder, job.TrackName, job.OutputNumber);
      channels = " -2ch ";
      break;
  }
  return "-core( -input " + Quoted(job.InputPath) + " -output " + Quoted(output) + channels;
}

}  // namespace

std::string BeSweetArguments(const BeSweetJob& job, const BeSweetFields& fields) {
  std::string text = ModePiece(job, fields);

  if (LoggingActive(fields.UseLogfile, fields.LogfileText)) {
    text += "-logfilea " + Quoted(LogFileName(fields.LogfileText)) + " ";
  }
  if (job.StreamIndex) text += "-substream " + StreamName(*job.StreamIndex) + " ";
  text += ") ";

  const std::string azid = Trim(fields.Azid);
  if (fields.Normalize || !azid.empty()) {
    text += "-azid( ";
    if (fields.Normalize) text += "-g max ";
    if (!azid.empty()) text += azid + " ";
    text += ") ";
  }

  const std::string ota = Trim(fields.Ota);
  if (!ota.empty()) text += "-ota( " + ota + " ) ";

  text += "-ssrc( " + Trim(fields.Ssrc) + " " + Trim(fields.SsrcFixed) + " ) ";

  const std::string boost = Trim(fields.Boost);
  if (!boost.empty()) text += "-boost( " + boost + " ) ";
  return text;
}

std::string BeSweetCommandLine(const std::string& beSweetPath, const std::string& arguments) {
  return Quoted(beSweetPath) + " " + arguments;
}

}  // namespace kavrin
