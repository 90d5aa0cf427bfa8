#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "batch/job.hpp"
#include "platform/file_system.hpp"

namespace kavrin {

// Every name a job's track takes on its way: the transcoder's six mono files
// in the temporary folder, the DTS encoder's unfinished output, and the
// track itself, each built here only.

// "DTS-Track", "DOLBYDIGITAL-Track", "CDDA-Track", or "" without a mode.
std::string TrackName(BatchMode mode);

// The final folder with a trailing delimiter, the track name, "-", the
// number padded to three digits and ".wav": the track.
std::string OutputFileName(const std::string& finalOutputFolder, const std::string& trackName, int outputNumber);
std::string TrackFileName(const Job& job);

// The lowest number from 1 whose output file name names no entry; none when
// a lookup fails for another reason than a missing name or folder.
std::optional<int> FindFreeOutputNumber(FileLookup& lookup, const std::string& finalOutputFolder,
                                        const std::string& trackName);

// The six mono files of a DTS-CD job, in the order the encoder's options
// name them, and the prefix the transcoder writes them under.
inline constexpr std::array<std::string_view, 6> ChannelFileNames = {"FL.WAV", "FR.WAV", "SL.WAV",
                                                                     "SR.WAV", "C.WAV",  "LFE.WAV"};
std::string MonoPrefix(const Job& job);
std::string MonoFileName(const Job& job, std::string_view channel);

// The DTS encoder writes the track under this name until it is complete.
std::string EncoderOutputName(const Job& job);
// What an older program left under the entry's position: the track name,
// the position in two digits and ".tmp", without a hyphen.
std::string LeftoverName(const Job& job);

}  // namespace kavrin
