#include "batch/besweet_command_line.hpp"

#include "batch/log_file.hpp"
#include "batch/track_names.hpp"
#include "core/text.hpp"
#include "inputlist/vob_file.hpp"

namespace kavrin {

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Input, output and channel switch; nothing without a mode.
std::string ModePiece(const Job& job) {
  std::string output;
  std::string channels;
  switch (job.Mode) {
    case BatchMode::None:
      return std::string();
    case BatchMode::DtsCd:
      output = MonoPrefix(job);
      channels = " -6ch ";
      break;
    case BatchMode::Ac3Cd:
      output = TrackFileName(job);
      channels = " -ddwav ";
      break;
    case BatchMode::Cdda:
      output = TrackFileName(job);
      channels = " -2ch ";
      break;
  }
  return "-core( -input " + Quoted(job.InputPath) + " -output " + Quoted(output) + channels;
}

}  // namespace

std::string BeSweetArguments(const Job& job) {
  const JobSettings& fields = job.Settings;
  std::string text = ModePiece(job);

  if (LoggingActive(fields.UseLogfile, fields.LogfileText)) {
    text += "-logfilea " + Quoted(LogFileName(fields.LogfileText)) + " ";
  }
  if (job.Stream) text += "-substream " + StreamName(*job.Stream) + " ";
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
