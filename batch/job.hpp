#pragma once

#include <optional>
#include <string>

#include "batch/job_settings.hpp"

namespace kavrin {

// One job of a batch as it is fixed when the job starts: the transcoder's
// command line, the encoder stage and the log all take it as it is, so that
// a field changed later applies from the next job on.
struct Job {
  BatchMode Mode = BatchMode::None;
  std::string TrackName;
  int OutputNumber = 1;
  int Entry = 0;  // the entry's position in the input list, from 0
  std::string InputPath;
  std::optional<int> Stream;  // a ".vob" entry's substream, 0x80 + Stream
  // The two folder fields as names: trimmed, and unquoted when the user
  // pasted them with their quotes.
  std::string TempFolder;
  std::string FinalFolder;
  JobSettings Settings;  // the window as the job read it
};

}  // namespace kavrin
