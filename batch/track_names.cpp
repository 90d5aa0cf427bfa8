#include "batch/track_names.hpp"

#include "core/text.hpp"

namespace kavrin {

namespace {

// "D:\CD\DTS-Track-001": the track's name without its extension.
std::string TrackBase(const std::string& finalOutputFolder, const std::string& trackName, int outputNumber) {
  return WithTrailingDelimiter(finalOutputFolder) + trackName + "-" + ZeroPad(outputNumber, 3);
}

}  // namespace

std::string TrackName(BatchMode mode) {
  switch (mode) {
    case BatchMode::DtsCd:
      return "DTS-Track";
    case BatchMode::Ac3Cd:
      return "DOLBYDIGITAL-Track";
    case BatchMode::Cdda:
      return "CDDA-Track";
    case BatchMode::None:
      break;
  }
  return std::string();
}

std::string OutputFileName(const std::string& finalOutputFolder, const std::string& trackName, int outputNumber) {
  return TrackBase(finalOutputFolder, trackName, outputNumber) + ".wav";
}

std::string TrackFileName(const Job& job) { return OutputFileName(job.FinalFolder, job.TrackName, job.OutputNumber); }

std::optional<int> FindFreeOutputNumber(FileLookup& lookup, const std::string& finalOutputFolder,
                                        const std::string& trackName) {
  for (int number = 1;; ++number) {
    switch (lookup.Look(OutputFileName(finalOutputFolder, trackName, number))) {
      case FileLookup::Presence::Present:
        break;
      case FileLookup::Presence::Absent:
        return number;
      case FileLookup::Presence::Unknown:
        return std::nullopt;
    }
  }
}

std::string MonoPrefix(const Job& job) { return WithTrailingDelimiter(job.TempFolder) + "mono"; }

std::string MonoFileName(const Job& job, std::string_view channel) { return MonoPrefix(job) + std::string(channel); }

std::string EncoderOutputName(const Job& job) {
  return TrackBase(job.FinalFolder, job.TrackName, job.OutputNumber) + ".tmp";
}

std::string LeftoverName(const Job& job) {
  return WithTrailingDelimiter(job.FinalFolder) + job.TrackName + ZeroPad(job.Entry + 1, 2) + ".tmp";
}

}  // namespace kavrin
