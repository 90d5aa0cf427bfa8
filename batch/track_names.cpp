#include "batch/track_names.hpp"

#include "core/file_name_rules.hpp"

namespace kavrin {

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
  return TrackOutputBase(finalOutputFolder, trackName, outputNumber) + ".wav";
}

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

}  // namespace kavrin
