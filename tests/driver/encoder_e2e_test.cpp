// DTS-CD batches through the real kavrin.exe, with the stand-ins for the
// transcoder and the DTS encoder, and the encoder's option values in this
// Wine prefix's registry.
#include <windows.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/text.hpp"
#include "encoder/encoder_automation.hpp"
#include "harness.hpp"
#include "kavrin_window.hpp"
#include "platform/win32/win32_profile.hpp"

namespace kavrin::e2e {
namespace {

using namespace std::chrono_literals;

// One job takes a transcoder run of at least a second, the encoder's start-up
// and up to three seconds of encoding; a job whose encoder window never shows
// takes some forty seconds of search.
constexpr auto kBatchBound = 120s;
constexpr auto kHiddenEncoderBound = 180s;

const char* const kSeparator = "-----------------------------------";

std::string StandInPath(const std::string& name) {
  // tests\driver\e2e_tests.exe; the stand-ins lie in tests\tools\<name>.
  const std::string tests = ExtractFileDir(ExtractFileDir(win32::Win32ProgramLocation().ExecutablePath()));
  return tests + "\\tools\\" + name + "\\" + name + ".exe";
}

std::vector<std::string> Joined(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> lines;
  for (const std::vector<std::string>& part : parts) lines.insert(lines.end(), part.begin(), part.end());
  return lines;
}

// One raw registry value; no type means missing.
struct RawValue {
  std::string name;
  std::optional<DWORD> type;
  std::string data;  // string values without their terminator
};

bool operator==(const RawValue& a, const RawValue& b) {
  return a.name == b.name && a.type == b.type && a.data == b.data;
}

std::ostream& operator<<(std::ostream& out, const RawValue& value) {
  out << value.name;
  if (!value.type) return out << " missing";
  return out << " type " << *value.type << " \"" << value.data << "\"";
}

RawValue StringValue(const std::string& name, const std::string& text, DWORD type = REG_SZ) {
  return RawValue{name, type, text};
}

RawValue Missing(const std::string& name) { return RawValue{name, std::nullopt, std::string()}; }

// The encoder's option key in this prefix. Whatever it held before a test is
// put back afterwards.
class OptionKey {
 public:
  OptionKey() {
    win32::UniqueHkey key;
    existed_ = RegOpenKeyExA(HKEY_CURRENT_USER, kEncoderOptionKey, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
    if (existed_) saved_ = AllValues(key.Get());
    Clear();
  }
  ~OptionKey() {
    Clear();
    if (!existed_) {
      RegDeleteKeyA(HKEY_CURRENT_USER, kEncoderOptionKey);
      return;
    }
    for (const RawValue& value : saved_) Put(value);
  }
  OptionKey(const OptionKey&) = delete;
  OptionKey& operator=(const OptionKey&) = delete;

  static void Put(const RawValue& value) {
    win32::UniqueHkey key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kEncoderOptionKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              key.Receive(), nullptr),
              ERROR_SUCCESS);
    std::string bytes = value.data;
    if (*value.type == REG_SZ || *value.type == REG_EXPAND_SZ) bytes.push_back('\0');
    ASSERT_EQ(RegSetValueExA(key.Get(), value.name.c_str(), 0, *value.type, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS)
        << value.name;
  }

  static RawValue Get(const std::string& name) {
    win32::UniqueHkey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kEncoderOptionKey, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) {
      return Missing(name);
    }
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
      return Missing(name);
    }
    std::string bytes(size, '\0');
    RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size);
    bytes.resize(size);
    if ((type == REG_SZ || type == REG_EXPAND_SZ) && !bytes.empty() && bytes.back() == '\0') bytes.pop_back();
    return RawValue{name, type, bytes};
  }

  static void Delete(const std::string& name) {
    win32::UniqueHkey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kEncoderOptionKey, 0, KEY_ALL_ACCESS, key.Receive()) == ERROR_SUCCESS) {
      RegDeleteValueA(key.Get(), name.c_str());
    }
  }

  static bool Exists() {
    win32::UniqueHkey key;
    return RegOpenKeyExA(HKEY_CURRENT_USER, kEncoderOptionKey, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
  }

  static std::vector<RawValue> AllValues(HKEY key) {
    std::vector<RawValue> values;
    for (DWORD index = 0;; ++index) {
      // Value names are at most 16383 characters.
      std::string name(16384, '\0');
      DWORD nameLength = static_cast<DWORD>(name.size());
      if (RegEnumValueA(key, index, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        break;
      }
      name.resize(nameLength);
      values.push_back(Get(name));
    }
    return values;
  }

 private:
  static void Clear() { RegDeleteTreeA(HKEY_CURRENT_USER, kEncoderOptionKey); }

  bool existed_ = false;
  std::vector<RawValue> saved_;
};

class EncoderE2e : public KavrinTest {
 protected:
  void SetUp() override {
    temp_ = folder_.File("temp");
    out_ = folder_.File("out");
    encoderFolder_ = folder_.File("Sur Code");
    encoder_ = encoderFolder_ + "\\surcodedts.exe";
    log_ = folder_.File("kavrin.log");
    besweetRecord_ = folder_.File("besweet.txt");
    encoderRecord_ = folder_.File("surcode.txt");
    for (const std::string& folder : {temp_, out_, encoderFolder_}) {
      ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
    }
    ASSERT_TRUE(CopyFileA(StandInPath("surcode_standin").c_str(), encoder_.c_str(), FALSE))
        << "could not copy the encoder stand-in: error " << GetLastError();
    SetEnvironmentVariableA("KAVRIN_STANDIN_RECORD", besweetRecord_.c_str());
    SetEnvironmentVariableA("KAVRIN_SURCODE_RECORD", encoderRecord_.c_str());
  }

  void TearDown() override {
    // The batch first, so that no restore of its own follows ours; then any
    // encoder it did not close (one that never showed its window), before
    // the folder is removed.
    kavrin_.End();
    EXPECT_TRUE(WaitFor(
        [] {
          HWND left = FindWindowA("KavrinStandinEncoder", nullptr);
          if (left != nullptr) PostMessageA(left, WM_CLOSE, 0, 0);
          return left == nullptr;
        },
        kExitBound, "every stand-in encoder to end"));
    SetEnvironmentVariableA("KAVRIN_STANDIN_RECORD", nullptr);
    SetEnvironmentVariableA("KAVRIN_SURCODE_RECORD", nullptr);
  }

  // A DTS-CD batch with logging into kavrin.log; `encoder` in the SurCode field.
  void WriteSettings(const std::string& encoder) {
    WriteIni("[EXE]\r\nBeSweet=" + StandInPath("besweet_standin") + "\r\nSurCode=" + encoder +
             "\r\n[FOLDERS]\r\nBeSweet=" + temp_ + "\r\nSurCode=" + out_ + "\r\n[LOG]\r\nUse Log=1\r\nFilename=" +
             log_ + "\r\n[SETTINGS]\r\nDTS CD=1\r\nAC3 CD=0\r\nCDDA CD=0\r\nShutdown=0\r\n");
  }

  void WriteEncoderKnobs(const std::string& knobs) { ASSERT_TRUE(WriteFileBytes(folder_.File("surcode.ssf"), knobs)); }

  std::vector<std::string> MakeInputs(const std::vector<std::string>& names) {
    std::vector<std::string> paths;
    for (const std::string& name : names) {
      paths.push_back(folder_.File(name));
      EXPECT_TRUE(WriteFileBytes(paths.back(), "AC3 stand-in data"));
    }
    return paths;
  }

  // Presses "Go" and waits for the end of the batch, then closes the box.
  void RunBatch(std::chrono::milliseconds bound, const std::string& text = "Encoding Finished!") {
    Click(window_.Button1);
    HWND box = nullptr;
    ASSERT_TRUE(kavrin_.WaitForMessageBox("Information", box, bound));
    EXPECT_EQ(BeforeLayout(MessageBoxText(box)), text);
    ASSERT_TRUE(PressButton(box, "OK"));
    ASSERT_TRUE(kavrin_.WaitForNoMessageBox("Information"));
  }

  std::string Mono(const std::string& channel) const { return temp_ + "\\mono" + channel; }

  std::vector<std::string> MonoFilesPresent() const {
    std::vector<std::string> present;
    for (std::string_view channel : ChannelFileNames) {
      if (FileExists(Mono(std::string(channel)))) present.emplace_back(channel);
    }
    return present;
  }

  // The transcoder stand-in's report of one six-channel run.
  std::vector<std::string> TranscoderReport(const std::string& input) const {
    std::vector<std::string> lines = {"BeSweet stand-in", "input: " + input};
    for (std::string_view channel : ChannelFileNames) lines.push_back("wrote: " + Mono(std::string(channel)));
    return lines;
  }

  // The log with the date and time of the program's lines left out.
  std::vector<std::string> LogLines() const {
    std::vector<std::string> lines = TextLines(ReadFileBytes(log_));
    for (std::string& line : lines) {
      for (const std::string prefix : {"Logging start : ", "Logging end : "}) {
        if (line.rfind(prefix, 0) == 0 && line.size() > prefix.size()) line = prefix + "<time>";
      }
    }
    return lines;
  }

  OptionKey optionKey_;
  std::string temp_;
  std::string out_;
  std::string encoderFolder_;
  std::string encoder_;
  std::string log_;
  std::string besweetRecord_;
  std::string encoderRecord_;
};

TEST_F(EncoderE2e, TwoHandedOverJobsWithTheStartupWindowEncodeRenameCleanUpAndRestoreTheOptions) {
  const std::string long300(300, 'x');
  const std::vector<RawValue> seeded = {
      StringValue("WAVEFILE1", "C:\\mine\\FL.WAV"),
      StringValue("WAVEFILE2", "%USERPROFILE%\\FR.WAV", REG_EXPAND_SZ),
      StringValue("WAVEFILE3", long300),
      StringValue("WAVEFILE4", ""),
      StringValue("WAVEFILE6", "C:\\mine\\LFE.WAV"),
      StringValue("WAVEFILE7", "C:\\mine\\out.tmp"),
      StringValue("WAVEFILELOCATION", "%ProgramFiles%\\SurCode", REG_EXPAND_SZ),
      RawValue{"Bitrate", REG_DWORD, std::string("\x40\x05\x00\x00", 4)},
  };
  for (const RawValue& value : seeded) ASSERT_NO_FATAL_FAILURE(OptionKey::Put(value));

  WriteSettings(encoder_);
  // The started encoder hands the work over and ends long before the output.
  WriteEncoderKnobs("handoff=1\r\nstartup=1\r\nencode_ms=3000\r\n");
  const std::vector<std::string> inputs = MakeInputs({"a.ac3", "b.ac3"});
  // Leftovers of an earlier run under the input positions: both go.
  for (const char* leftover : {"DTS-Track01.tmp", "DTS-Track02.tmp"}) {
    ASSERT_TRUE(WriteFileBytes(out_ + "\\" + leftover, "old"));
  }

  ASSERT_NO_FATAL_FAILURE(StartAndFindWindow());
  ASSERT_NO_FATAL_FAILURE(AddInputFiles(inputs));
  ASSERT_NO_FATAL_FAILURE(RunBatch(kBatchBound));

  EXPECT_TRUE(FileExists(out_ + "\\DTS-Track-001.wav"));
  EXPECT_TRUE(FileExists(out_ + "\\DTS-Track-002.wav"));
  for (const char* gone : {"DTS-Track-001.tmp", "DTS-Track-002.tmp", "DTS-Track01.tmp", "DTS-Track02.tmp"}) {
    EXPECT_FALSE(FileExists(out_ + "\\" + gone)) << gone;
  }
  EXPECT_EQ(MonoFilesPresent(), std::vector<std::string>{});
  // The output is a 44.1 kHz, 16-bit stereo WAV.
  const std::string wav = ReadFileBytes(out_ + "\\DTS-Track-002.wav");
  ASSERT_GE(wav.size(), 44u);
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  EXPECT_EQ(wav.substr(8, 4), "WAVE");

  // What each encoder was given and what it received, in order.
  std::vector<std::string> expected;
  for (const char* number : {"001", "002"}) {
    const std::vector<std::string> run = {
        "command line: " + folder_.File("surcode.ssf"),
        "current folder: " + encoderFolder_,
        "hand over",
        "command line: " + folder_.File("surcode.ssf"),
        "current folder: " + encoderFolder_,
        "WAVEFILE1=" + Mono("FL.WAV"),
        "WAVEFILE2=" + Mono("FR.WAV"),
        "WAVEFILE3=" + Mono("SL.WAV"),
        "WAVEFILE4=" + Mono("SR.WAV"),
        "WAVEFILE5=" + Mono("C.WAV"),
        "WAVEFILE6=" + Mono("LFE.WAV"),
        "WAVEFILE7=" + out_ + "\\DTS-Track-" + number + ".tmp",
        "WAVEFILELOCATION=" + folder_.Path(),
        "WM_CLOSE startup",
        "WM_COMMAND 1050",
        "encoding " + out_ + "\\DTS-Track-" + number + ".tmp",
        "output written",
        "WM_CLOSE",
    };
    expected.insert(expected.end(), run.begin(), run.end());
  }
  // The batch does not wait for an encoder to end, so an encoder's last line
  // may come after the next one's first.
  std::vector<std::string> record;
  int exits = 0;
  EXPECT_TRUE(WaitFor(
      [&] {
        record.clear();
        exits = 0;
        for (const std::string& line : TextLines(ReadFileBytes(encoderRecord_))) {
          if (line == "exit") {
            ++exits;
          } else {
            record.push_back(line);
          }
        }
        return exits >= 2;
      },
      kExitBound, "both encoders to end"));
  EXPECT_EQ(record, expected);

  // The transcoder's reports, each job's encoder blocks, the empty line
  // before the second run (the log did not exist before the first), and
  // the disc's layout.
  const std::vector<std::string> blocks = {"SurCode CD Pro DTS", kSeparator, "Logging start : <time>",
                                           "Logging end : <time>", kSeparator};
  EXPECT_EQ(LogLines(), Joined({TranscoderReport(inputs[0]),
                                blocks,
                                {""},
                                TranscoderReport(inputs[1]),
                                blocks,
                                {"DTS-Track.cue: 2 tracks, 0:08 (fits a 74-minute disc)"}}));

  // The options exactly as they were: full length, expandable ones still
  // expandable, an empty one still there, a missing one still missing; a
  // value of another name is left alone. No backup file is left.
  std::vector<RawValue> restored = seeded;
  restored.push_back(Missing("WAVEFILE5"));
  for (const RawValue& value : restored) EXPECT_EQ(OptionKey::Get(value.name), value);
  EXPECT_FALSE(FileExists(folder_.File(kOptionBackupFileName)));

  ASSERT_NO_FATAL_FAILURE(CloseAndWaitForExit());
}

TEST_F(EncoderE2e, EncoderPathThatNamesNoProgramLeavesTheMonoFilesAndTheNextJobRuns) {
  WriteSettings(folder_.File("missing\\surcodedts.exe"));
  const std::vector<std::string> inputs = MakeInputs({"a.ac3", "b.ac3"});

  ASSERT_NO_FATAL_FAILURE(StartAndFindWindow());
  ASSERT_NO_FATAL_FAILURE(AddInputFiles(inputs));
  const std::vector<std::string> summary = {"2 of 2 tracks were not made:", inputs[0], inputs[1]};
  ASSERT_NO_FATAL_FAILURE(
      RunBatch(kBatchBound, "Encoding Finished!\n\n" + summary[0] + "\n" + summary[1] + "\n" + summary[2]));

  const std::vector<std::string> runs = TextLines(ReadFileBytes(besweetRecord_));
  ASSERT_EQ(runs.size(), 2u) << "both jobs ran the transcoder";
  EXPECT_NE(runs[1].find("-input \"" + inputs[1] + "\""), std::string::npos) << runs[1];
  EXPECT_EQ(MonoFilesPresent().size(), ChannelFileNames.size());
  EXPECT_FALSE(FileExists(encoderRecord_)) << "no encoder ran";

  EXPECT_EQ(LogLines(), Joined({TranscoderReport(inputs[0]), {""}, TranscoderReport(inputs[1]), summary}))
      << "nothing is logged for the encoder stage";

  // The job options were written and the empty backup put back.
  EXPECT_TRUE(OptionKey::Exists());
  EXPECT_EQ(OptionKey::Get("WAVEFILE7"), Missing("WAVEFILE7"));

  ASSERT_NO_FATAL_FAILURE(CloseAndWaitForExit());
}

TEST_F(EncoderE2e, EncoderThatNeverShowsItsWindowIsGivenUpAndTheBatchEnds) {
  WriteSettings(encoder_);
  WriteEncoderKnobs("hide_encoder=1\r\n");
  const std::vector<std::string> inputs = MakeInputs({"a.ac3"});

  ASSERT_NO_FATAL_FAILURE(StartAndFindWindow());
  ASSERT_NO_FATAL_FAILURE(AddInputFiles(inputs));
  ASSERT_NO_FATAL_FAILURE(
      RunBatch(kHiddenEncoderBound, "Encoding Finished!\n\n1 of 1 tracks were not made:\n" + inputs[0]));

  const std::string record = ReadFileBytes(encoderRecord_);
  EXPECT_NE(record.find("command line: "), std::string::npos) << "the encoder was started";
  EXPECT_EQ(record.find("WM_COMMAND"), std::string::npos) << "no start command without a window";
  EXPECT_EQ(record.find("WM_CLOSE"), std::string::npos) << "nothing is posted";
  EXPECT_EQ(MonoFilesPresent().size(), ChannelFileNames.size()) << "the mono files stay for another try";
  EXPECT_FALSE(FileExists(out_ + "\\DTS-Track-001.wav"));

  EXPECT_EQ(LogLines(), Joined({TranscoderReport(inputs[0]),
                                {"SurCode CD Pro DTS", kSeparator, "Logging start : <time>", kWindowNotFoundLine,
                                 "Logging end : <time>", kSeparator, "1 of 1 tracks were not made:", inputs[0]}}));

  ASSERT_NO_FATAL_FAILURE(CloseAndWaitForExit());
}

TEST_F(EncoderE2e, ValueOfAForeignTypeStopsTheBatchWithAnErrorAndTheNextBatchRuns) {
  const RawValue mine = StringValue("WAVEFILE1", "C:\\mine\\FL.WAV");
  const RawValue foreign{"WAVEFILE3", REG_DWORD, std::string("\x01\x00\x00\x00", 4)};
  ASSERT_NO_FATAL_FAILURE(OptionKey::Put(mine));
  ASSERT_NO_FATAL_FAILURE(OptionKey::Put(foreign));
  WriteSettings(encoder_);
  WriteEncoderKnobs("encode_ms=500\r\n");
  ASSERT_NO_FATAL_FAILURE(StartAndFindWindow());
  ASSERT_NO_FATAL_FAILURE(AddInputFiles(MakeInputs({"a.ac3"})));

  Click(window_.Button1);
  HWND box = nullptr;
  ASSERT_TRUE(kavrin_.WaitForMessageBox("Kavrin", box, kBatchBound));
  EXPECT_EQ(MessageBoxText(box), "Invalid data type for 'WAVEFILE3'");
  ASSERT_TRUE(PressButton(box, "OK"));
  ASSERT_TRUE(kavrin_.WaitForNoMessageBox("Kavrin"));
  EXPECT_FALSE(FileExists(besweetRecord_)) << "the batch stopped before its first job";
  EXPECT_EQ(OptionKey::Get("WAVEFILE1"), mine);
  EXPECT_EQ(OptionKey::Get("WAVEFILE3"), foreign);

  // The stopped batch left nothing behind that keeps the next one from running.
  OptionKey::Delete("WAVEFILE3");
  ASSERT_NO_FATAL_FAILURE(RunBatch(kBatchBound));
  EXPECT_TRUE(FileExists(out_ + "\\DTS-Track-001.wav"));
  EXPECT_EQ(OptionKey::Get("WAVEFILE1"), mine);

  ASSERT_NO_FATAL_FAILURE(CloseAndWaitForExit());
}

// The job's folders are fixed when it starts: a final output folder changed
// while the transcoder runs sends this job nowhere else, and the next job
// there. Before, the encoder wrote into the new folder, where the track's
// name was taken, and the batch waited for ever.
TEST_F(EncoderE2e, AFolderChangedDuringAJobAppliesFromTheNextJob) {
  const std::string other = folder_.File("other out");
  ASSERT_TRUE(CreateDirectoryA(other.c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(other + "\\DTS-Track-001.wav", "someone's track"));
  WriteSettings(encoder_);
  WriteEncoderKnobs("encode_ms=500\r\n");
  SetEnvironmentVariableA("KAVRIN_STANDIN_RUN_MS", "4000");
  const std::vector<std::string> inputs = MakeInputs({"a.ac3", "b.ac3"});
  ASSERT_NO_FATAL_FAILURE(StartAndFindWindow());
  ASSERT_NO_FATAL_FAILURE(AddInputFiles(inputs));

  Click(window_.Button1);
  ASSERT_TRUE(WaitFor([&] { return FileExists(besweetRecord_); }, kBatchBound, "the first transcoder run"));
  ASSERT_TRUE(SetText(window_.deSurcodeOutputFolder, other));
  HWND box = nullptr;
  ASSERT_TRUE(kavrin_.WaitForMessageBox("Information", box, kBatchBound));
  EXPECT_EQ(BeforeLayout(MessageBoxText(box)), "Encoding Finished!");
  ASSERT_TRUE(PressButton(box, "OK"));
  SetEnvironmentVariableA("KAVRIN_STANDIN_RUN_MS", nullptr);

  EXPECT_TRUE(FileExists(out_ + "\\DTS-Track-001.wav"));
  EXPECT_EQ(ReadFileBytes(other + "\\DTS-Track-001.wav"), "someone's track");
  EXPECT_TRUE(FileExists(other + "\\DTS-Track-002.wav"));
  ASSERT_NO_FATAL_FAILURE(CloseAndWaitForExit());
}

// A batch killed while its encoder runs leaves the job's values in the key;
// the user's come back from the file beside Kavrin.ini at the next start.
TEST_F(EncoderE2e, AKilledBatchsOptionsComeBackAtTheNextStart) {
  const std::vector<RawValue> seeded = {
      StringValue("WAVEFILE1", std::string(300, 'f')),
      StringValue("WAVEFILE2", "%USERPROFILE%\\FR.WAV", REG_EXPAND_SZ),
      StringValue("WAVEFILE3", ""),
  };
  for (const RawValue& value : seeded) ASSERT_NO_FATAL_FAILURE(OptionKey::Put(value));
  WriteSettings(encoder_);
  WriteEncoderKnobs("encode_ms=60000\r\n");
  ASSERT_NO_FATAL_FAILURE(StartAndFindWindow());
  ASSERT_NO_FATAL_FAILURE(AddInputFiles(MakeInputs({"a.ac3"})));
  Click(window_.Button1);
  ASSERT_TRUE(WaitFor([&] { return ReadFileBytes(encoderRecord_).find("WM_COMMAND 1050") != std::string::npos; },
                      kBatchBound, "the encoder to start encoding"));
  ASSERT_TRUE(TerminateProcess(kavrin_.Handle(), 9));
  ASSERT_TRUE(kavrin_.WaitForExit());
  EXPECT_NE(OptionKey::Get("WAVEFILE1"), seeded[0]) << "the job's values are in the key";
  EXPECT_TRUE(FileExists(folder_.File(kOptionBackupFileName)));
  // Its encoder ends with it, and so cannot be taken over by the next batch.
  EXPECT_TRUE(WaitFor([] { return FindWindowA("KavrinStandinEncoder", nullptr) == nullptr; }, kExitBound,
                      "the killed batch's encoder to end"));

  ASSERT_NO_FATAL_FAILURE(StartAndFindWindow());
  for (const RawValue& value : seeded) EXPECT_EQ(OptionKey::Get(value.name), value);
  for (const char* name : {"WAVEFILE4", "WAVEFILE7", "WAVEFILELOCATION"})
    EXPECT_EQ(OptionKey::Get(name), Missing(name));
  EXPECT_FALSE(FileExists(folder_.File(kOptionBackupFileName)));
  ASSERT_NO_FATAL_FAILURE(CloseAndWaitForExit());

  // The next batch, into a new folder, ends with its track there.
  const std::string newOut = folder_.File("new out");
  ASSERT_TRUE(CreateDirectoryA(newOut.c_str(), nullptr));
  out_ = newOut;
  WriteSettings(encoder_);
  WriteEncoderKnobs("encode_ms=500\r\n");
  ASSERT_NO_FATAL_FAILURE(StartAndFindWindow());
  ASSERT_NO_FATAL_FAILURE(AddInputFiles(MakeInputs({"b.ac3"})));
  ASSERT_NO_FATAL_FAILURE(RunBatch(kBatchBound));
  EXPECT_TRUE(FileExists(newOut + "\\DTS-Track-001.wav"));
  ASSERT_NO_FATAL_FAILURE(CloseAndWaitForExit());
}

// An encoder the user has open, on options of their own, is neither driven
// nor closed by a batch: the batch starts its own, and the track lands in
// the batch's folder.
TEST_F(EncoderE2e, AnEncoderOpenBeforeGoIsLeftAlone) {
  const std::string other = folder_.File("other");
  ASSERT_TRUE(CreateDirectoryA(other.c_str(), nullptr));
  for (int n = 1; n <= 6; ++n) {
    const std::string input = other + "\\in" + std::to_string(n) + ".wav";
    ASSERT_TRUE(WriteFileBytes(input, "pcm"));
    ASSERT_NO_FATAL_FAILURE(OptionKey::Put(StringValue("WAVEFILE" + std::to_string(n), input)));
  }
  ASSERT_NO_FATAL_FAILURE(OptionKey::Put(StringValue("WAVEFILE7", other + "\\theirs.tmp")));
  WriteSettings(encoder_);
  WriteEncoderKnobs("encode_ms=500\r\n");
  ASSERT_NO_FATAL_FAILURE(StartAndFindWindow());
  ASSERT_NO_FATAL_FAILURE(AddInputFiles(MakeInputs({"a.ac3"})));

  // Started by the user, with a record of its own.
  const std::string theirRecord = folder_.File("theirs.txt");
  SetEnvironmentVariableA("KAVRIN_SURCODE_RECORD", theirRecord.c_str());
  std::string line = folder_.File("surcode.ssf");
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  ASSERT_TRUE(
      CreateProcessA(encoder_.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started));
  const win32::UniqueHandle theirs(started.hProcess);
  CloseHandle(started.hThread);
  SetEnvironmentVariableA("KAVRIN_SURCODE_RECORD", encoderRecord_.c_str());
  ASSERT_TRUE(
      WaitFor([&] { return !TopLevelWindows(started.dwProcessId).empty(); }, kStartBound, "the user's encoder window"));

  ASSERT_NO_FATAL_FAILURE(RunBatch(kBatchBound));
  EXPECT_TRUE(FileExists(out_ + "\\DTS-Track-001.wav"));
  EXPECT_FALSE(FileExists(other + "\\theirs.tmp"));
  const std::string record = ReadFileBytes(theirRecord);
  EXPECT_EQ(record.find("WM_COMMAND"), std::string::npos) << record;
  EXPECT_EQ(record.find("WM_CLOSE"), std::string::npos) << record;
  EXPECT_EQ(WaitForSingleObject(theirs.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
  ASSERT_NO_FATAL_FAILURE(CloseAndWaitForExit());
}

}  // namespace
}  // namespace kavrin::e2e
