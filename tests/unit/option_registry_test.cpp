#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "batch/track_names.hpp"
#include "core/error.hpp"
#include "encoder/option_registry.hpp"
#include "fakes/fake_file_store.hpp"
#include "fakes/fake_registry.hpp"
#include "fakes/fake_text_services.hpp"

namespace kavrin {
namespace {

const char* const kBackupFile = "C:\\Kavrin\\Kavrin encoder options.bak";
const std::vector<std::string> kNames = {"WAVEFILE1", "WAVEFILE2", "WAVEFILE3", "WAVEFILE4",
                                         "WAVEFILE5", "WAVEFILE6", "WAVEFILE7", "WAVEFILELOCATION"};

class OptionRegistryTest : public ::testing::Test {
 protected:
  const fakes::FakeValue* Value(const std::string& name) { return registry_.Value(kEncoderOptionKey, name); }
  void Put(const std::string& name, const std::string& data, fakes::FakeValueType type = fakes::FakeValueType::String) {
    registry_.Put(kEncoderOptionKey, name, data, type);
  }
  std::vector<std::string> Sets() {
    std::vector<std::string> sets;
    for (const std::string& call : registry_.calls) {
      if (call.rfind("set ", 0) == 0) sets.push_back(call);
    }
    return sets;
  }

  EncoderOptions Options() {
    return EncoderOptions(
        registry_, files_, errors_, [] { return std::string("C:\\Kavrin\\"); },
        [this](const std::string& text) { notices_.push_back(text); });
  }
  bool Write(EncoderOptions& options, int number, std::string* reason = nullptr) {
    std::string why;
    const bool written = options.WriteJobOptions(JobNumbered(number), "C:\\Kavrin", why);
    if (reason != nullptr) *reason = why;
    return written;
  }

  fakes::FakeRegistry registry_;
  fakes::FakeFileStore files_;
  fakes::FakeErrorTexts errors_;
  std::vector<std::string> notices_;
  EncoderOptions options_ = Options();
  static Job JobNumbered(int number) {
    return Job{BatchMode::DtsCd, "DTS-Track", number, 0, "D:\\DVD\\a.ac3", std::nullopt, "C:\\Temp", "D:\\CD\\", {}};
  }
};

TEST_F(OptionRegistryTest, KeyPathHasNoLeadingDelimiter) {
  EXPECT_EQ(std::string(kEncoderOptionKey), "Software\\Minnetonka Audio Software\\Surcode CD Pro DTS\\OPTIONS");
}

TEST_F(OptionRegistryTest, MissingKeyIsCreatedAndLeftWithoutValues) {
  options_.BackupEncoderOptions();
  options_.RestoreEncoderOptions();
  ASSERT_TRUE(registry_.KeyExists(kEncoderOptionKey));
  EXPECT_TRUE(registry_.keys[kEncoderOptionKey].empty());
}

// The backup outlives a killed run in the file, and every value comes back
// from it with its type and every byte: past 255 characters, a double-byte
// character across the 255th byte, line breaks, an empty value, one without
// a terminator; a missing one stays missing. While the key cannot be opened
// the file stays, and no backup is taken over it.
TEST_F(OptionRegistryTest, AKilledRunsBackupComesBackExactlyFromTheFile) {
  const std::string long300 = std::string(254, 'x') + "\x95\x5c" + std::string(44, 'y');
  Put("WAVEFILE1", "C:\\old\\fl.wav");
  Put("WAVEFILE2", long300);
  Put("WAVEFILE3", "%TEMP%\\sl.wav", fakes::FakeValueType::ExpandString);
  Put("WAVEFILE4", "");
  Put("WAVEFILE5", "a\r\nb");
  Put("WAVEFILE6", "raw");
  registry_.keys[kEncoderOptionKey]["WAVEFILE6"].Terminated = false;
  Put("OTHER", "untouched", fakes::FakeValueType::Dword);
  options_.BackupEncoderOptions();
  EXPECT_TRUE(Write(options_, 1));

  EncoderOptions next = Options();
  registry_.failOpen = true;
  next.BackupEncoderOptions();
  EXPECT_FALSE(next.Backup().Taken);
  EXPECT_TRUE(files_.Has(kBackupFile));
  registry_.failOpen = false;
  next.RecoverLeftBackups();
  EXPECT_FALSE(files_.Has(kBackupFile));

  using T = fakes::FakeValueType;
  struct Expected {
    const char* name;
    std::optional<std::string> text;
    T type = T::String;
    bool terminated = true;
  };
  const Expected expected[] = {
      {"WAVEFILE1", "C:\\old\\fl.wav"},
      {"WAVEFILE2", long300},
      {"WAVEFILE3", "%TEMP%\\sl.wav", T::ExpandString},
      {"WAVEFILE4", ""},
      {"WAVEFILE5", "a\r\nb"},
      {"WAVEFILE6", "raw", T::String, false},
      {"WAVEFILE7", std::nullopt},
      {"WAVEFILELOCATION", std::nullopt},
  };
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.name);
    const fakes::FakeValue* value = Value(e.name);
    ASSERT_EQ(value != nullptr, e.text.has_value());
    if (value == nullptr) continue;
    EXPECT_EQ(value->Data, *e.text);
    EXPECT_EQ(value->Type, e.type);
    EXPECT_EQ(value->Terminated, e.terminated);
  }
  EXPECT_EQ(Value("OTHER")->Type, fakes::FakeValueType::Dword);
  EXPECT_TRUE(notices_.empty());
}

TEST_F(OptionRegistryTest, ABackupThatCannotBeSavedStopsTheRunBeforeItsFirstJob) {
  files_.failWrite = true;
  EXPECT_THROW(options_.BackupEncoderOptions(), KavrinError);
  EXPECT_FALSE(options_.Backup().Taken);
}

TEST_F(OptionRegistryTest, JobWritesEightValuesInOrder) {
  options_.BackupEncoderOptions();
  EXPECT_TRUE(Write(options_, 7));
  EXPECT_EQ(Sets(), (std::vector<std::string>{
                        "set WAVEFILE1=C:\\Temp\\monoFL.WAV",
                        "set WAVEFILE2=C:\\Temp\\monoFR.WAV",
                        "set WAVEFILE3=C:\\Temp\\monoSL.WAV",
                        "set WAVEFILE4=C:\\Temp\\monoSR.WAV",
                        "set WAVEFILE5=C:\\Temp\\monoC.WAV",
                        "set WAVEFILE6=C:\\Temp\\monoLFE.WAV",
                        "set WAVEFILE7=D:\\CD\\DTS-Track-007.tmp",
                        "set WAVEFILELOCATION=C:\\Kavrin",
                    }));
}

// Every name of a job's track, from its folders as the job fixed them.
TEST_F(OptionRegistryTest, EveryNameOfATrackComesFromTheJob) {
  struct Row {
    const char* temp;
    const char* final;
    int entry;
    int number;
    const char* track;
    const char* encoderOutput;
    const char* leftover;
    const char* firstMono;
  };
  const Row rows[] = {
      {"C:\\Temp", "D:\\CD\\", 0, 7, "D:\\CD\\DTS-Track-007.wav", "D:\\CD\\DTS-Track-007.tmp",
       "D:\\CD\\DTS-Track01.tmp", "C:\\Temp\\monoFL.WAV"},
      {"C:\\Temp\\", "D:\\CD", 11, 1234, "D:\\CD\\DTS-Track-1234.wav", "D:\\CD\\DTS-Track-1234.tmp",
       "D:\\CD\\DTS-Track12.tmp", "C:\\Temp\\monoFL.WAV"},
      {"", "", 0, 1, "\\DTS-Track-001.wav", "\\DTS-Track-001.tmp", "\\DTS-Track01.tmp", "\\monoFL.WAV"},
  };
  for (const Row& row : rows) {
    Job job = JobNumbered(row.number);
    job.TempFolder = row.temp;
    job.FinalFolder = row.final;
    job.Entry = row.entry;
    EXPECT_EQ(TrackFileName(job), row.track);
    EXPECT_EQ(EncoderOutputName(job), row.encoderOutput);
    EXPECT_EQ(LeftoverName(job), row.leftover);
    EXPECT_EQ(MonoFileName(job, ChannelFileNames[0]), row.firstMono);
    EXPECT_EQ(JobOptionValues(job, "C:\\Kavrin")[6].second, row.encoderOutput);
  }
}

TEST_F(OptionRegistryTest, ForeignTypeStopsTheBackupAndTheRestoreTouchesNothing) {
  Put("WAVEFILE1", "keep");
  Put("WAVEFILE3", "", fakes::FakeValueType::Dword);
  try {
    options_.BackupEncoderOptions();
    FAIL() << "no error";
  } catch (const KavrinError& error) {
    EXPECT_STREQ(error.what(), "Invalid data type for 'WAVEFILE3'");
  }
  registry_.calls.clear();
  options_.RestoreEncoderOptions();
  EXPECT_TRUE(registry_.calls.empty());
  EXPECT_EQ(Value("WAVEFILE1")->Data, "keep");
  EXPECT_EQ(Value("WAVEFILE3")->Type, fakes::FakeValueType::Dword);
}

// A job writes nothing without this batch's backup, and a refused write
// loses that job alone.
TEST_F(OptionRegistryTest, AJobThatCannotWriteItsValuesSaysWhy) {
  std::string reason;
  EXPECT_FALSE(Write(options_, 1, &reason));
  EXPECT_EQ(reason, "The encoder's options could not be saved");
  EXPECT_TRUE(Sets().empty());

  options_.BackupEncoderOptions();
  registry_.failSetOf = "WAVEFILE7";
  EXPECT_FALSE(Write(options_, 1, &reason));
  EXPECT_EQ(reason, "Failed to set data for 'WAVEFILE7'");
  EXPECT_EQ(Sets().size(), 7u);  // nothing after the refused value

  registry_.failOpen = true;
  EXPECT_FALSE(Write(options_, 1, &reason));
  EXPECT_EQ(reason, "The encoder's options cannot be opened");
}

TEST_F(OptionRegistryTest, RefusedWriteDuringRestoreIsReported) {
  Put("WAVEFILELOCATION", "C:\\SurCode");
  options_.BackupEncoderOptions();
  registry_.failEverySet = true;
  EXPECT_THROW(options_.RestoreEncoderOptions(), KavrinError);
}

TEST_F(OptionRegistryTest, KeyThatCannotBeOpenedIsSkippedAndSoIsTheRestore) {
  Put("WAVEFILE1", "C:\\mine.wav");
  registry_.failOpen = true;
  options_.BackupEncoderOptions();
  registry_.failOpen = false;  // the key opens again by the end of the run
  EXPECT_FALSE(Write(options_, 1));
  options_.RestoreEncoderOptions();
  EXPECT_TRUE(registry_.calls.empty());
  EXPECT_EQ(Value("WAVEFILE1")->Data, "C:\\mine.wav");
}

TEST_F(OptionRegistryTest, RestoreWithoutBackupOrTwiceDoesNothing) {
  Put("WAVEFILE1", "C:\\mine.wav");
  options_.RestoreEncoderOptions();
  EXPECT_TRUE(registry_.calls.empty());
  options_.BackupEncoderOptions();
  options_.RestoreEncoderOptions();
  registry_.calls.clear();
  options_.RestoreEncoderOptions();
  EXPECT_TRUE(registry_.calls.empty());
}

TEST_F(OptionRegistryTest, RestoreDeletesThenRewritesEachValueInOrder) {
  Put("WAVEFILE2", "b");
  options_.BackupEncoderOptions();
  registry_.calls.clear();
  options_.RestoreEncoderOptions();
  std::vector<std::string> expected;
  for (const std::string& name : kNames) {
    expected.push_back("delete " + name);
    if (name == "WAVEFILE2") expected.push_back("set WAVEFILE2=b");
  }
  EXPECT_EQ(registry_.calls, expected);
}

// What a killed batch left beside Kavrin.ini, found at start-up or at
// "Go": put back only for the user who made it and only when the file can be
// cleared too; otherwise left, or moved aside once when it is damaged, and
// the user told why. At "Go" a file that cannot be read or removed refuses
// the batch; nothing else does.
enum class LeftFile { Mine, Version1, OtherUsers, Garbage, Empty, CutShort };
struct LeftCase {
  const char* name;
  LeftFile file;
  bool atGo;
  bool readOnly = false;
  bool undeletable = false;
  bool unreadable = false;
  // Expected:
  bool putBack = false;
  bool left = false;        // the file is still there, untouched
  bool movedAside = false;  // now under ".damaged"
  const char* says = "";    // in the notice, or the error at "Go"
  bool refused = false;
};

class LeftBackupTest : public OptionRegistryTest, public ::testing::WithParamInterface<LeftCase> {};

TEST_P(LeftBackupTest, GoesBackOnlyWhenItIsThisUsersAndCanBeCleared) {
  const LeftCase& row = GetParam();
  std::string other = "S-1-5-21-9-9-9-1002";
  const std::string damaged = std::string(kBackupFile) + ".damaged";
  errors_.texts[5] = "Access is denied.";
  Put("WAVEFILE1", "C:\\saved.wav");
  if (row.file == LeftFile::OtherUsers) registry_.userId.swap(other);
  options_.BackupEncoderOptions();  // killed before its restore
  if (row.file == LeftFile::OtherUsers) registry_.userId.swap(other);
  std::string& text = files_.files[kBackupFile];
  if (row.file == LeftFile::Version1) {
    text.replace(0, text.find("WAVEFILE1"), "Kavrin encoder options 1\r\n");
  }
  if (row.file == LeftFile::Garbage) text = "\x01\x02garbage";
  if (row.file == LeftFile::Empty) text.clear();
  if (row.file == LeftFile::CutShort) text.resize(text.size() / 2);
  const std::string before = text;
  files_.files[damaged] = "an older damaged one";
  Put("WAVEFILE1", "C:\\job.wav");
  if (row.readOnly) files_.readOnly.insert(kBackupFile);
  if (row.undeletable) files_.undeletable.insert(kBackupFile);
  if (row.unreadable) files_.unreadable.insert(kBackupFile);

  EncoderOptions next = Options();
  std::string error;
  if (row.atGo) {
    try {
      next.BackupEncoderOptions();
    } catch (const KavrinError& thrown) {
      error = thrown.what();
    }
  } else {
    next.RecoverLeftBackups();
  }
  EXPECT_EQ(!error.empty(), row.refused) << error;
  const std::string told = row.refused ? error : (notices_.empty() ? std::string() : notices_.back());
  EXPECT_NE(told.find(row.says), std::string::npos) << told;
  EXPECT_EQ(told.find("Nothing was started.") != std::string::npos, row.refused);
  EXPECT_EQ(told.find(kBackupFile) != std::string::npos, row.says[0] != '\0') << told;
  EXPECT_LE(notices_.size(), 1u);

  // At "Go" the batch's own backup sees the values as they now are.
  EXPECT_EQ(Value("WAVEFILE1")->Data, row.putBack ? "C:\\saved.wav" : "C:\\job.wav");
  EXPECT_EQ(files_.Has(kBackupFile) && files_.files[kBackupFile] == before, row.left);
  EXPECT_EQ(files_.files[damaged], row.movedAside ? before : "an older damaged one");
  EXPECT_EQ(next.Backup().Taken, row.atGo && !row.refused);
  // Another user's backup never blocks this one's: it goes to a file of its own.
  if (row.file == LeftFile::OtherUsers && row.atGo) {
    EXPECT_TRUE(files_.Has("C:\\Kavrin\\Kavrin encoder options " + registry_.userId + ".bak"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LeftBackupTest,
    ::testing::Values(
        LeftCase{"MineAtStart", LeftFile::Mine, false, false, false, false, true},
        LeftCase{"ReadOnlyMineIsClearedFirst", LeftFile::Mine, false, true, false, false, true},
        LeftCase{"VersionOneIsTakenForMine", LeftFile::Version1, true, false, false, false, true},
        LeftCase{"UndeletableAtStart", LeftFile::Mine, false, false, true, false, false, true, false,
                 "cannot be removed: Access is denied."},
        LeftCase{"UndeletableAtGo", LeftFile::Mine, true, false, true, false, false, true, false,
                 "cannot be removed: Access is denied.", true},
        LeftCase{"UnreadableAtStart", LeftFile::Mine, false, false, false, true, false, true, false,
                 "cannot be read: Access is denied."},
        LeftCase{"UnreadableAtGo", LeftFile::Mine, true, false, false, true, false, true, false,
                 "cannot be read: Access is denied.", true},
        LeftCase{"OtherUsersAtStart", LeftFile::OtherUsers, false, false, false, false, false, true},
        LeftCase{"OtherUsersAtGo", LeftFile::OtherUsers, true, false, false, false, false, true},
        LeftCase{"GarbageAtStart", LeftFile::Garbage, false, false, false, false, false, false, true,
                 "are damaged and could not be put back. The file is now"},
        LeftCase{"EmptyAtGo", LeftFile::Empty, true, false, false, false, false, false, true, "are damaged"},
        LeftCase{"CutShortAtStart", LeftFile::CutShort, false, false, false, false, false, false, true, "are damaged"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kavrin
