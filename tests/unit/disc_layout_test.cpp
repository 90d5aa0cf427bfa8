#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch/disc_layout.hpp"
#include "fakes/fake_file_store.hpp"
#include "fakes/fake_folders.hpp"

namespace kavrin {
namespace {

using Lines = std::vector<std::string>;

// Tracks of the folder D:\CD as the check found them: a name, its length in
// seconds, and why it would not play.
struct Track {
  std::string name;
  double seconds;
  std::string problem;
};

struct LayoutCase {
  const char* name;
  std::vector<Track> tracks;
  Lines before;  // layout files there already: "name|text"
  Lines lines;   // the finish's
  Lines after;   // the layout files there afterwards: "name: first track .. last track (count)"
};

Track Minutes(const std::string& number, double minutes, const std::string& problem = "") {
  return {"DTS-Track-" + number + ".wav", minutes * 60, problem};
}

std::vector<Track> Numbered(int count, double minutes) {
  std::vector<Track> tracks;
  for (int n = 1; n <= count; ++n)
    tracks.push_back(Minutes((n < 10 ? "00" : n < 100 ? "0" : "") + std::to_string(n), minutes));
  return tracks;
}

class DiscLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(DiscLayoutTest, DiscsFilledInNumberOrder) {
  const LayoutCase& row = GetParam();
  fakes::FakeFileStore files;
  fakes::FakeFolders folders(files);
  std::map<std::string, TrackVerdict> checked;
  for (const Track& track : row.tracks) {
    files.files["D:\\CD\\" + track.name] = "";
    checked[track.name] = {track.problem, static_cast<std::uint64_t>(track.seconds * 44100) * 4};
  }
  files.files["D:\\CD\\DTS-Track-01.wav"] = "";  // not a track of the layout
  for (const std::string& file : row.before) {
    files.files["D:\\CD\\" + file.substr(0, file.find('|'))] = file.substr(file.find('|') + 1);
  }
  const LayoutReport report = WriteDiscLayout(folders, files, BatchMode::DtsCd, "DTS-Track", "D:\\CD", checked);
  EXPECT_EQ(report.Lines, row.lines);
  Lines after;
  for (const auto& [path, text] : files.files) {
    if (path.size() < 4 || path.compare(path.size() - 4, 4, ".cue") != 0) continue;
    Lines names;
    for (std::size_t at = text.find("FILE \""); at != std::string::npos; at = text.find("FILE \"", at + 1)) {
      names.push_back(text.substr(at + 6, text.find('"', at + 6) - at - 6));
    }
    const std::string what = names.empty()
                                 ? text.substr(0, text.find('\r'))
                                 : names.front() + " .. " + names.back() + " (" + std::to_string(names.size()) + ")";
    after.push_back(path.substr(6) + ": " + what);
  }
  EXPECT_EQ(after, row.after);
}

const std::string kMark = kLayoutMark;

INSTANTIATE_TEST_SUITE_P(
    Rows, DiscLayoutTest,
    ::testing::Values(LayoutCase{"OneDiscWithALeftOutTrackAndAShortOne",
                                 {Minutes("001", 30), Minutes("002", 0.05), Minutes("003", 10, "no DTS stream")},
                                 {},
                                 {"DTS-Track.cue: 2 tracks, 30:03 (fits a 74-minute disc)",
                                  "DTS-Track-002.wav is shorter than 4 seconds; some burners refuse it"},
                                 {"DTS-Track.cue: DTS-Track-001.wav .. DTS-Track-002.wav (2)"}},
                      LayoutCase{"NinetyNineTracksADisc",
                                 Numbered(100, 0.2),
                                 {},
                                 {"DTS-Track-Disc1.cue: 99 tracks, 19:48 (fits a 74-minute disc)",
                                  "DTS-Track-Disc2.cue: 1 track, 0:12 (fits a 74-minute disc)"},
                                 {"DTS-Track-Disc1.cue: DTS-Track-001.wav .. DTS-Track-099.wav (99)",
                                  "DTS-Track-Disc2.cue: DTS-Track-100.wav .. DTS-Track-100.wav (1)"}},
                      LayoutCase{"SectorLimitAndALongerTrack",
                                 {Minutes("001", 40), Minutes("002", 39.9), Minutes("003", 20), Minutes("004", 81)},
                                 {},
                                 {"DTS-Track-Disc1.cue: 2 tracks, 79:54 (needs an 80-minute disc)",
                                  "DTS-Track-Disc2.cue: 1 track, 20:00 (fits a 74-minute disc)",
                                  "DTS-Track-Disc3.cue: 1 track, 81:00 (longer than an 80-minute disc)"},
                                 {"DTS-Track-Disc1.cue: DTS-Track-001.wav .. DTS-Track-002.wav (2)",
                                  "DTS-Track-Disc2.cue: DTS-Track-003.wav .. DTS-Track-003.wav (1)",
                                  "DTS-Track-Disc3.cue: DTS-Track-004.wav .. DTS-Track-004.wav (1)"}},
                      LayoutCase{"NumbersWithGapsAndFourDigits",
                                 {Minutes("1000", 1), Minutes("003", 1), Minutes("0002", 1)},
                                 {"DTS-Track-Disc2.cue|" + kMark + "\r\n"},
                                 {"DTS-Track.cue: 3 tracks, 3:00 (fits a 74-minute disc)"},
                                 {"DTS-Track.cue: DTS-Track-0002.wav .. DTS-Track-1000.wav (3)"}},
                      LayoutCase{"AFileOfTheNameThatIsNotKavrins",
                                 {Minutes("001", 1)},
                                 {"DTS-Track.cue|FILE \"mine.wav\" WAVE\r\n", "DTS-Track-Disc1.cue|" + kMark + "\r\n"},
                                 {"DTS-Track.cue was not written: a file of that name is not Kavrin's"},
                                 {"DTS-Track.cue: mine.wav .. mine.wav (1)"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DiscLayoutTest, TheCueSheetPlaysWithoutGaps) {
  Disc disc;
  disc.FileName = "DTS-Track.cue";
  disc.Tracks = {{"DTS-Track-001.wav", 1, {}}, {"DTS-Track-003.wav", 3, {}}};
  disc.LeftOut = {"DTS-Track-002.wav: no DTS stream"};
  EXPECT_EQ(CueText(disc), kMark + "\r\n" +
                               "REM COMMENT \"left out: DTS-Track-002.wav: no DTS stream\"\r\n"
                               "FILE \"DTS-Track-001.wav\" WAVE\r\n  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n"
                               "FILE \"DTS-Track-003.wav\" WAVE\r\n  TRACK 02 AUDIO\r\n    INDEX 01 00:00:00\r\n");
}

}  // namespace
}  // namespace kavrin
