#pragma once

#include <optional>
#include <string>

#include "batch/job_settings.hpp"
#include "batch/track_names.hpp"

namespace kavrin {

// The window fields one job's command line is built from, as the fields hold
// them; trimming and delimiters are applied here.
struct BeSweetFields {
  std::string TempFolder;
  std::string FinalOutputFolder;
  bool UseLogfile = false;
  std::string LogfileText;
  bool Normalize = false;
  std::string Azid;
  std::string Ota;
  std::string Ssrc;
  std::string SsrcFixed;
  std::string Boost;
};

struct BeSweetJob {
  BatchMode Mode = BatchMode::None;
  std::string TrackName;
  std::string InputPath;
  std::optional<int> StreamIndex;  // only for ".vob" entries
  int OutputNumber = 1;
};

std::string BeSweetArguments(const BeSweetJob& job, const BeSweetFields& fields);

// The quoted program path, one blank, the arguments.
std::string BeSweetCommandLine(const std::string& beSweetPath, const std::string& arguments);

}  // namespace kavrin
