#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "batch/track_check.hpp"
#include "platform/file_system.hpp"
#include "platform/folders.hpp"

namespace kavrin {

// A disc holds at most this many tracks, and this many sectors of them: 80
// minutes less the 2-second pregap before its first track.
inline constexpr std::size_t kDiscTracks = 99;
inline constexpr std::uint64_t kDiscSectors = 80ULL * 60 * 75 - 150;
inline constexpr std::uint64_t kSectorBytes = 2352;
inline constexpr const char* kLayoutMark = "REM COMMENT \"Kavrin disc layout\"";

// One track file of a folder as its layout sees it.
struct LayoutTrack {
  std::string Name;  // "DTS-Track-001.wav"
  long long Number = 0;
  TrackVerdict Verdict;
};

// One disc's layout file and the tracks it holds, in number order.
struct Disc {
  std::string FileName;  // "DTS-Track.cue", or "DTS-Track-Disc2.cue" of several
  std::vector<LayoutTrack> Tracks;
  std::vector<std::string> LeftOut;  // "DTS-Track-007.wav: no DTS stream"
  std::uint64_t Sectors = 0;
};

// The number of a track file of the layout: track name, "-", at least three
// digits, ".wav", letters in any case.
std::optional<long long> TrackNumberOf(const std::string& trackName, const std::string& fileName);

// The tracks that play, in number order, filling discs of at most 99 tracks
// and 359,850 sectors; a track longer than a disc gets one of its own. A
// track that does not play is named in the disc nearest its place.
std::vector<Disc> PlanDiscs(const std::string& trackName, std::vector<LayoutTrack> tracks);

// The disc's cue sheet: relative file names, tracks from 01, no gaps, CR LF.
std::string CueText(const Disc& disc);

// "DTS-Track.cue: 12 tracks, 67:23 (fits a 74-minute disc)", then one line
// for each track shorter than 4 seconds.
std::vector<std::string> DiscLines(const Disc& disc);

// What writing a folder's layout says for the finish; `Failed` when a disc's
// layout was not written.
struct LayoutReport {
  std::vector<std::string> Lines;
  bool Failed = false;
};

// Writes the layout of the folder's tracks of `trackName` and removes
// Kavrin's own layout files that it no longer needs; a file of a layout's
// name that another program wrote is left, and that disc is not written.
// `checked` holds the verdicts already known, by file name; every other
// track is read.
LayoutReport WriteDiscLayout(Folders& folders, FileStore& files, BatchMode mode, const std::string& trackName,
                             const std::string& folder, const std::map<std::string, TrackVerdict>& checked);

}  // namespace kavrin
