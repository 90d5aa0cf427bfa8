#pragma once

#include <optional>
#include <string>

#include "batch/job_settings.hpp"
#include "platform/file_system.hpp"

namespace kavrin {

// "DTS-Track", "DOLBYDIGITAL-Track", "CDDA-Track", or "" without a mode.
std::string TrackName(BatchMode mode);

// Final folder with a trailing delimiter, track name, "-", the number padded
// to three digits, ".wav".
std::string OutputFileName(const std::string& finalOutputFolder, const std::string& trackName, int outputNumber);

// The lowest number from 1 whose output file name names no entry; none when
// a lookup fails for another reason than a missing name or folder.
std::optional<int> FindFreeOutputNumber(FileLookup& lookup, const std::string& finalOutputFolder,
                                        const std::string& trackName);

}  // namespace kavrin
