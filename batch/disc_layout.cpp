#include "batch/disc_layout.hpp"

#include <algorithm>
#include <cstdio>

#include "core/text.hpp"

namespace kavrin {

namespace {

constexpr std::uint64_t k74MinuteSectors = 74ULL * 60 * 75;
constexpr std::uint64_t kShortBytes = 4ULL * 44100 * 4;

std::uint64_t SectorsOf(const LayoutTrack& track) {
  return (track.Verdict.DataBytes + kSectorBytes - 1) / kSectorBytes;
}

// The number in a name made of `prefix`, at least `minDigits` digits and
// `suffix`, letter case aside.
std::optional<long long> NumberBetween(const std::string& fileName, const std::string& prefix,
                                       const std::string& suffix, std::size_t minDigits) {
  const std::string upper = UpperAscii(fileName);
  if (upper.size() < prefix.size() + suffix.size() + minDigits || upper.compare(0, prefix.size(), prefix) != 0 ||
      upper.compare(upper.size() - suffix.size(), suffix.size(), suffix) != 0) {
    return std::nullopt;
  }
  const std::string digits = upper.substr(prefix.size(), upper.size() - prefix.size() - suffix.size());
  if (digits.size() > 15 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  return std::stoll(digits);
}

bool IsLayoutName(const std::string& trackName, const std::string& fileName) {
  const std::string base = UpperAscii(trackName);
  return UpperAscii(fileName) == base + ".CUE" || NumberBetween(fileName, base + "-DISC", ".CUE", 1).has_value();
}

}  // namespace

std::optional<long long> TrackNumberOf(const std::string& trackName, const std::string& fileName) {
  return NumberBetween(fileName, UpperAscii(trackName) + "-", ".WAV", 3);
}

std::vector<Disc> PlanDiscs(const std::string& trackName, std::vector<LayoutTrack> tracks) {
  std::stable_sort(tracks.begin(), tracks.end(),
                   [](const LayoutTrack& a, const LayoutTrack& b) { return a.Number < b.Number; });
  std::vector<Disc> discs;
  std::vector<LayoutTrack> leftOut;
  for (LayoutTrack& track : tracks) {
    if (!track.Verdict.Problem.empty()) {
      leftOut.push_back(std::move(track));
      continue;
    }
    const std::uint64_t sectors = SectorsOf(track);
    if (discs.empty() || discs.back().Tracks.size() == kDiscTracks ||
        (!discs.back().Tracks.empty() && discs.back().Sectors + sectors > kDiscSectors)) {
      discs.emplace_back();
    }
    discs.back().Sectors += sectors;
    discs.back().Tracks.push_back(std::move(track));
  }
  // A track that does not play is named in the disc that holds the tracks
  // around it.
  for (const LayoutTrack& track : leftOut) {
    if (discs.empty()) break;
    auto disc = std::find_if(discs.begin(), discs.end(),
                             [&track](const Disc& d) { return d.Tracks.back().Number > track.Number; });
    if (disc == discs.end()) disc = discs.end() - 1;
    disc->LeftOut.push_back(track.Name + ": " + track.Verdict.Problem);
  }
  for (std::size_t i = 0; i < discs.size(); ++i) {
    discs[i].FileName = trackName + (discs.size() == 1 ? "" : "-Disc" + std::to_string(i + 1)) + ".cue";
  }
  return discs;
}

std::string CueText(const Disc& disc) {
  std::string text = std::string(kLayoutMark) + "\r\n";
  for (const std::string& line : disc.LeftOut) text += "REM COMMENT \"left out: " + line + "\"\r\n";
  for (std::size_t i = 0; i < disc.Tracks.size(); ++i) {
    char number[24];
    std::snprintf(number, sizeof number, "%02zu", i + 1);
    text += "FILE \"" + disc.Tracks[i].Name + "\" WAVE\r\n  TRACK " + number + " AUDIO\r\n    INDEX 01 00:00:00\r\n";
  }
  return text;
}

std::vector<std::string> DiscLines(const Disc& disc) {
  const std::uint64_t seconds = disc.Sectors / 75;
  char time[32];
  std::snprintf(time, sizeof time, "%llu:%02llu", static_cast<unsigned long long>(seconds / 60),
                static_cast<unsigned long long>(seconds % 60));
  const char* fit = "(fits a 74-minute disc)";
  if (disc.Sectors + 150 > k74MinuteSectors) fit = "(needs an 80-minute disc)";
  if (disc.Sectors > kDiscSectors) fit = "(longer than an 80-minute disc)";
  const std::size_t count = disc.Tracks.size();
  std::vector<std::string> lines = {disc.FileName + ": " + std::to_string(count) +
                                    (count == 1 ? " track, " : " tracks, ") + time + " " + fit};
  for (const LayoutTrack& track : disc.Tracks) {
    if (track.Verdict.DataBytes < kShortBytes) {
      lines.push_back(track.Name + " is shorter than 4 seconds; some burners refuse it");
    }
  }
  return lines;
}

LayoutReport WriteDiscLayout(Folders& folders, FileStore& files, BatchMode mode, const std::string& trackName,
                             const std::string& folder, const std::map<std::string, TrackVerdict>& checked) {
  std::vector<std::string> subfolders;
  std::vector<std::string> names;
  if (!folders.ReadFolder(folder, subfolders, names)) return {{"The tracks in " + folder + " cannot be listed"}, true};
  const std::string prefix = WithTrailingDelimiter(folder);
  std::vector<LayoutTrack> tracks;
  for (const std::string& name : names) {
    const std::optional<long long> number = TrackNumberOf(trackName, name);
    if (!number) continue;
    const auto known = checked.find(name);
    tracks.push_back({name, *number, known != checked.end() ? known->second : CheckTrack(files, mode, prefix + name)});
  }
  // A layout file is Kavrin's when it starts with the mark.
  const auto owner = [&](const std::string& name) {
    std::string text;
    const FileStore::ReadResult read = files.ReadWholeFile(prefix + name, text);
    if (read == FileStore::ReadResult::NotFound) return 0;
    return read == FileStore::ReadResult::Read && text.rfind(kLayoutMark, 0) == 0 ? 1 : -1;
  };
  LayoutReport report;
  const std::vector<Disc> discs = PlanDiscs(trackName, tracks);
  for (const Disc& disc : discs) {
    if (owner(disc.FileName) < 0) {
      report.Lines.push_back(disc.FileName + " was not written: a file of that name is not Kavrin's");
      report.Failed = true;
    } else if (!files.WriteWholeFile(prefix + disc.FileName, CueText(disc))) {
      report.Lines.push_back(disc.FileName + " could not be written");
      report.Failed = true;
    } else {
      const std::vector<std::string> lines = DiscLines(disc);
      report.Lines.insert(report.Lines.end(), lines.begin(), lines.end());
    }
  }
  for (const std::string& name : names) {
    const bool needed = std::any_of(discs.begin(), discs.end(), [&name](const Disc& disc) {
      return UpperAscii(disc.FileName) == UpperAscii(name);
    });
    if (!needed && IsLayoutName(trackName, name) && owner(name) > 0) files.Remove(prefix + name);
  }
  return report;
}

}  // namespace kavrin
