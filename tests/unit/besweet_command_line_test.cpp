#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch/batch_run.hpp"
#include "batch/besweet_command_line.hpp"
#include "inputlist/vob_file.hpp"

namespace kavrin {
namespace {

const char* const kBeSweet = "C:\\Tools\\BeSweet\\BeSweet.exe";

Job SampleJob(BatchMode mode, const std::string& input, std::optional<int> stream, int number) {
  Job job{mode, TrackName(mode), number, 0, input, stream, "C:\\Temp\\Work", "D:\\CD", {}};
  job.Settings.SsrcFixed = "--rate 44100";
  return job;
}

TEST(BeSweetCommandLineTest, WorkedExamplesByteForByte) {
  Job dts = SampleJob(BatchMode::DtsCd, "D:\\DVD\\VTS_01_1.VOB", 1, 1);
  dts.Settings.UseLogfile = true;
  dts.Settings.LogfileText = "C:\\Temp\\encode.log";
  dts.Settings.Normalize = true;
  dts.Settings.Azid = "-c normal -L -3db";

  Job ac3 = SampleJob(BatchMode::Ac3Cd, "D:\\DVD\\movie.ac3", std::nullopt, 2);
  ac3.FinalFolder = "D:\\CD\\";
  ac3.Settings.Ota = "-x 2";

  Job cdda = SampleJob(BatchMode::Cdda, "D:\\DVD\\VTS_02_1.VOB", 0, 1);
  cdda.Settings.UseLogfile = true;
  cdda.Settings.LogfileText = "  C:\\Temp\\encode.log  ";
  cdda.Settings.Normalize = true;
  cdda.Settings.Ssrc = "--dither";
  cdda.Settings.Boost = "--gain 3";

  struct Row {
    Job job;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {dts,
       "\"C:\\Tools\\BeSweet\\BeSweet.exe\" -core( -input \"D:\\DVD\\VTS_01_1.VOB\" -output "
       "\"C:\\Temp\\Work\\mono\" -6ch -logfilea \"C:\\Temp\\encode.log\" -substream 0x81 ) "
       "-azid( -g max -c normal -L -3db ) -ssrc(  --rate 44100 ) "},
      {ac3,
       "\"C:\\Tools\\BeSweet\\BeSweet.exe\" -core( -input \"D:\\DVD\\movie.ac3\" -output "
       "\"D:\\CD\\DOLBYDIGITAL-Track-002.wav\" -ddwav ) -ota( -x 2 ) -ssrc(  --rate 44100 ) "},
      {cdda,
       "\"C:\\Tools\\BeSweet\\BeSweet.exe\" -core( -input \"D:\\DVD\\VTS_02_1.VOB\" -output "
       "\"D:\\CD\\CDDA-Track-001.wav\" -2ch -logfilea \"C:\\Temp\\encode.log\" -substream 0x80 ) "
       "-azid( -g max ) -ssrc( --dither --rate 44100 ) -boost( --gain 3 ) "},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(BeSweetCommandLine(kBeSweet, BeSweetArguments(row.job)), row.expected);
  }
}

// Each row changes one thing from a plain CDDA job of "D:\DVD\a.ac3" into
// "D:\CD" with number 1; the expected text is the argument text.
TEST(BeSweetCommandLineTest, OptionalPiecesAndEdgeCases) {
  struct Row {
    const char* what;
    void (*change)(Job&, JobSettings&);
    std::string expected;
  };
  const std::string core = "-core( -input \"D:\\DVD\\a.ac3\" -output \"D:\\CD\\CDDA-Track-001.wav\" -2ch ";
  const std::string ssrc = "-ssrc(  --rate 44100 ) ";
  const std::vector<Row> rows = {
      {"empty ssrc keeps the group with two blanks", [](Job&, JobSettings&) {}, core + ") " + ssrc},
      {"normalize alone", [](Job&, JobSettings& f) { f.Normalize = true; }, core + ") -azid( -g max ) " + ssrc},
      {"normalize with azid and ota",
       [](Job&, JobSettings& f) {
         f.Normalize = true;
         f.Azid = "-c normal";
         f.Ota = "-x 2";
       },
       core + ") -azid( -g max -c normal ) -ota( -x 2 ) " + ssrc},
      {"normalize with ota only",
       [](Job&, JobSettings& f) {
         f.Normalize = true;
         f.Ota = "-x 2";
       },
       core + ") -azid( -g max ) -ota( -x 2 ) " + ssrc},
      {"azid without normalize", [](Job&, JobSettings& f) { f.Azid = "-c normal"; },
       core + ") -azid( -c normal ) " + ssrc},
      {"options trimmed, inner blanks kept",
       [](Job&, JobSettings& f) {
         f.Azid = " \t-c  normal \r\n";
         f.Ota = "  -x 2 ";
         f.Ssrc = "\t--dither ";
         f.SsrcFixed = " --rate 44100 ";
         f.Boost = "  --gain  3\t";
       },
       core + ") -azid( -c  normal ) -ota( -x 2 ) -ssrc( --dither --rate 44100 ) -boost( --gain  3 ) "},
      {"blank-only options count as empty",
       [](Job&, JobSettings& f) {
         f.Azid = "   ";
         f.Ota = "\t\t";
         f.Boost = "  ";
       },
       core + ") " + ssrc},
      {"folder with a delimiter gets no second one", [](Job& j, JobSettings&) { j.FinalFolder = "D:\\CD\\"; },
       core + ") " + ssrc},
      {"empty final folder gives a leading delimiter", [](Job& j, JobSettings&) { j.FinalFolder = ""; },
       "-core( -input \"D:\\DVD\\a.ac3\" -output \"\\CDDA-Track-001.wav\" -2ch ) " + ssrc},
      {"output number 7", [](Job& j, JobSettings&) { j.OutputNumber = 7; },
       "-core( -input \"D:\\DVD\\a.ac3\" -output \"D:\\CD\\CDDA-Track-007.wav\" -2ch ) " + ssrc},
      {"output number 1000", [](Job& j, JobSettings&) { j.OutputNumber = 1000; },
       "-core( -input \"D:\\DVD\\a.ac3\" -output \"D:\\CD\\CDDA-Track-1000.wav\" -2ch ) " + ssrc},
      {"stream 7", [](Job& j, JobSettings&) { j.Stream = 7; }, core + "-substream 0x87 ) " + ssrc},
      {"logging on",
       [](Job&, JobSettings& f) {
         f.UseLogfile = true;
         f.LogfileText = "C:\\l og.txt";
       },
       core + "-logfilea \"C:\\l og.txt\" ) " + ssrc},
      {"logging on with a name the browse button quoted",
       [](Job&, JobSettings& f) {
         f.UseLogfile = true;
         f.LogfileText = " \"C:\\My Logs\\x.log\" ";
       },
       core + "-logfilea \"C:\\My Logs\\x.log\" ) " + ssrc},
      {"logging on with a blank-only name",
       [](Job&, JobSettings& f) {
         f.UseLogfile = true;
         f.LogfileText = " \t ";
       },
       core + ") " + ssrc},
      {"logging off with a name", [](Job&, JobSettings& f) { f.LogfileText = "C:\\log.txt"; }, core + ") " + ssrc},
      {"no mode: no mode piece, optional pieces first",
       [](Job& j, JobSettings& f) {
         j.Mode = BatchMode::None;
         j.TrackName = "";
         j.Stream = 2;
         f.UseLogfile = true;
         f.LogfileText = "Log";
       },
       "-logfilea \"Log\" -substream 0x82 ) " + ssrc},
      {"no mode and nothing optional", [](Job& j, JobSettings&) { j.Mode = BatchMode::None; }, ") " + ssrc},
      {"DTS output ignores the final folder and number",
       [](Job& j, JobSettings&) {
         j.Mode = BatchMode::DtsCd;
         j.OutputNumber = 12;
         j.TempFolder = "";
       },
       "-core( -input \"D:\\DVD\\a.ac3\" -output \"\\mono\" -6ch ) " + ssrc},
      {"AC3 output",
       [](Job& j, JobSettings&) {
         j.Mode = BatchMode::Ac3Cd;
         j.TrackName = TrackName(BatchMode::Ac3Cd);
       },
       "-core( -input \"D:\\DVD\\a.ac3\" -output \"D:\\CD\\DOLBYDIGITAL-Track-001.wav\" -ddwav ) " + ssrc},
  };
  for (const Row& row : rows) {
    Job job = SampleJob(BatchMode::Cdda, "D:\\DVD\\a.ac3", std::nullopt, 1);
    job.FinalFolder = "D:\\CD";
    row.change(job, job.Settings);
    EXPECT_EQ(BeSweetArguments(job), row.expected) << row.what;
  }
}

TEST(BeSweetCommandLineTest, ProgramPathIsQuotedAsIs) {
  EXPECT_EQ(BeSweetCommandLine("C:\\Program Files\\B.exe", ") "), "\"C:\\Program Files\\B.exe\" ) ");
  EXPECT_EQ(BeSweetCommandLine("", ") "), "\"\" ) ");
}

TEST(BeSweetCommandLineTest, StreamPieceFollowsTheExtension) {
  struct Row {
    const char* path;
    bool vob;
  };
  const std::vector<Row> rows = {
      {"D:\\DVD\\a.vob", true},        {"D:\\DVD\\a.VOB", true},
      {"D:\\DVD\\a.VoB", true},        {"D:\\DVD\\a.ac3", false},
      {"D:\\DVD\\noextension", false}, {"D:\\Film.vob\\track", false},
      {"D:\\a.vob.ac3", false},        {"C:a.vob", true},
  };
  for (const Row& row : rows) EXPECT_EQ(IsVobFile(row.path), row.vob) << row.path;
}

}  // namespace
}  // namespace kavrin
