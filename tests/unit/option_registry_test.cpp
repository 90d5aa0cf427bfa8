#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/error.hpp"
#include "encoder/option_registry.hpp"
#include "fakes/fake_file_store.hpp"
#include "fakes/fake_registry.hpp"

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

  fakes::FakeRegistry registry_;
  fakes::FakeFileStore files_;
  EncoderOptions options_{registry_, files_, [] { return std::string(kBackupFile); }};
  const JobFolders folders_{"C:\\Temp", "D:\\CD\\", "C:\\Kavrin"};
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
  options_.WriteJobOptions(folders_, "DTS-Track", 1);

  EncoderOptions next(registry_, files_, [] { return std::string(kBackupFile); });
  registry_.failOpen = true;
  next.BackupEncoderOptions();
  EXPECT_FALSE(next.Backup().Taken);
  registry_.failOpen = false;
  EXPECT_TRUE(next.RecoverLeftBackup());
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

  // A file that is not a backup is never taken for one, nor replaced.
  files_.files[kBackupFile] = "something else";
  EXPECT_THROW(options_.BackupEncoderOptions(), KavrinError);
  EXPECT_EQ(files_.files[kBackupFile], "something else");
}

TEST_F(OptionRegistryTest, ABackupThatCannotBeSavedStopsTheRunBeforeItsFirstJob) {
  files_.failWrite = true;
  EXPECT_THROW(options_.BackupEncoderOptions(), KavrinError);
  EXPECT_FALSE(options_.Backup().Taken);
}

TEST_F(OptionRegistryTest, JobWritesEightValuesInOrder) {
  options_.WriteJobOptions(folders_, "DTS-Track", 7);
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

TEST_F(OptionRegistryTest, OutputNumberOfMoreDigitsIsWrittenInFull) {
  EXPECT_EQ(JobOptionValues(folders_, "DTS-Track", 1234)[6].second, "D:\\CD\\DTS-Track-1234.tmp");
  EXPECT_EQ(JobOptionValues(JobFolders{"", "", ""}, "T", 1)[0].second, "\\monoFL.WAV");
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

TEST_F(OptionRegistryTest, RefusedWriteNamesTheValue) {
  registry_.failSetOf = "WAVEFILE7";
  try {
    options_.WriteJobOptions(folders_, "DTS-Track", 1);
    FAIL() << "no error";
  } catch (const KavrinError& error) {
    EXPECT_STREQ(error.what(), "Failed to set data for 'WAVEFILE7'");
  }
  EXPECT_EQ(Sets().size(), 7u);  // nothing after the refused value
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
  options_.WriteJobOptions(folders_, "DTS-Track", 1);
  registry_.failOpen = false;  // the key opens again by the end of the run
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

}  // namespace
}  // namespace kavrin
