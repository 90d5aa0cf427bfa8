#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/error.hpp"
#include "core/file_name_rules.hpp"
#include "fakes/fake_profile.hpp"
#include "fakes/fake_settings_form.hpp"
#include "settings/settings_file.hpp"

namespace kavrin {
namespace {

const std::string kFile = "C:\\Tools\\Kavrin.ini";

TEST(SettingsFile, LivesInTheProgramFolderUnderAFixedName) {
  EXPECT_EQ(SettingsFilePath("C:\\Tools\\conv.exe"), "C:\\Tools\\Kavrin.ini");
  EXPECT_EQ(SettingsFilePath("C:\\conv.exe"), "C:\\Kavrin.ini");
}

TEST(SettingsFile, TruthValuesAreWholeNumbersOrTheDefault) {
  for (const char* truthy : {"1", "2", "-1", "0x10", "0X10", "$10", "0x0001"}) {
    EXPECT_TRUE(ParseTruthValue(truthy, false)) << truthy;
  }
  for (const char* falsy : {"0", "0x0", "$0", "000"}) {
    EXPECT_FALSE(ParseTruthValue(falsy, true)) << falsy;
  }
  for (const char* junk : {"yes", "true", "", "0x", "$", "1a", "-", "0xg"}) {
    EXPECT_TRUE(ParseTruthValue(junk, true)) << junk;
    EXPECT_FALSE(ParseTruthValue(junk, false)) << junk;
  }
}

TEST(FileNameRules, FirstWordByCommandLineRules) {
  struct Row {
    const char* text;
    const char* word;
  };
  const Row rows[] = {
      {"", ""},
      {"   ", ""},
      {"C:\\Tools\\BeSweet.exe", "C:\\Tools\\BeSweet.exe"},
      {"\"C:\\Program Files\\BeSweet\\BeSweet.exe\"", "C:\\Program Files\\BeSweet\\BeSweet.exe"},
      {"C:\\Program Files\\BeSweet\\BeSweet.exe", "C:\\Program"},
      {"  \t\"\"\"\" x.exe rest", "x.exe"},
      {"C:\\\"Program Files\"\\a.exe -x", "C:\\Program Files\\a.exe"},
      {"\"unterminated path", "unterminated path"},
  };
  for (const Row& row : rows) EXPECT_EQ(FirstCommandLineWord(row.text), row.word) << row.text;
  const std::string longWord(5000, 'a');
  EXPECT_EQ(FirstCommandLineWord(longWord + " tail"), longWord);
}

TEST(FileNameRules, ReadingKeepsTheTextOfAnExistingFile) {
  EXPECT_EQ(FileNameReading("C:\\My Tools\\x.exe", true), "C:\\My Tools\\x.exe");
  EXPECT_EQ(FileNameReading("C:\\My Tools\\x.exe", false), "C:\\My");
}

TEST(FileNameRules, WritingQuotesBlanksAndRejectsInvalidNames) {
  EXPECT_EQ(FileNameFieldText("", false), "");
  EXPECT_EQ(FileNameFieldText("C:\\a\\b.exe", false), "C:\\a\\b.exe");
  EXPECT_EQ(FileNameFieldText("C:\\Program Files\\b.exe", false), "\"C:\\Program Files\\b.exe\"");
  EXPECT_EQ(FileNameFieldText("\"C:\\Program Files\\b.exe\"", false), "\"C:\\Program Files\\b.exe\"");
  for (const char* bad : {"a|b", "C:\\a[1]\\b.exe", "a<b", "a>b", "\"\""}) {
    try {
      FileNameFieldText(bad, false);
      ADD_FAILURE() << bad << " was accepted";
    } catch (const KavrinError& error) {
      EXPECT_EQ(std::string(error.what()), std::string("Invalid file name - ") + bad);
    }
  }
}

TEST(SettingsLoad, FirstRunGivesTheDefaults) {
  fakes::FakeProfileStore profile;
  fakes::FakeSettingsForm form;
  UnreadSettings unread;
  LoadSettings(profile, kFile, form, unread);
  EXPECT_FALSE(form.Checked(SettingControl::cbUseLogfile));
  EXPECT_TRUE(form.Checked(SettingControl::cbUseGMax));
  EXPECT_TRUE(form.Checked(SettingControl::rbDTSCD));
  EXPECT_FALSE(form.Checked(SettingControl::rbAC3CD));
  EXPECT_FALSE(form.Checked(SettingControl::rbCDDA));
  EXPECT_EQ(form.Text(SettingControl::eAzid), "-c normal -L -3db");
  EXPECT_EQ(form.Text(SettingControl::eSSRC), "--rate 44100");
  EXPECT_EQ(form.Text(SettingControl::eOta), "");
  EXPECT_TRUE(form.settingsTabShown);
  EXPECT_EQ(form.otaFixedUpdates, 1);
}

TEST(SettingsLoad, ModesAreSetInOrderSoTheLastTrueWins) {
  struct Row {
    const char* dts;
    const char* ac3;
    const char* cdda;
    bool expectDts, expectAc3, expectCdda;
  };
  const Row rows[] = {
      {"1", "0", "1", false, false, true},
      {"1", "1", "0", false, true, false},
      {"0", "0", "0", false, false, false},
      {"0", "1", "0", false, true, false},
  };
  for (const Row& row : rows) {
    fakes::FakeProfileStore profile;
    profile.SetFileText(
        kFile, std::string("[SETTINGS]\nDTS CD=") + row.dts + "\nAC3 CD=" + row.ac3 + "\nCDDA CD=" + row.cdda + "\n");
    fakes::FakeSettingsForm form;
    UnreadSettings unread;
    LoadSettings(profile, kFile, form, unread);
    EXPECT_EQ(form.Checked(SettingControl::rbDTSCD), row.expectDts) << row.dts << row.ac3 << row.cdda;
    EXPECT_EQ(form.Checked(SettingControl::rbAC3CD), row.expectAc3) << row.dts << row.ac3 << row.cdda;
    EXPECT_EQ(form.Checked(SettingControl::rbCDDA), row.expectCdda) << row.dts << row.ac3 << row.cdda;
  }
}

TEST(SettingsLoad, StopsAtTheFirstInvalidFileName) {
  fakes::FakeProfileStore profile;
  profile.SetFileText(kFile, "[EXE]\nBeSweet=C:\\a[1]\\BeSweet.exe\nSurCode=C:\\s.exe\n[Azid]\nOptions=-x\n");
  fakes::FakeSettingsForm form;
  UnreadSettings unread;
  try {
    LoadSettings(profile, kFile, form, unread);
    FAIL() << "the load accepted an invalid file name";
  } catch (const KavrinError& error) {
    EXPECT_EQ(std::string(error.what()), "Invalid file name - C:\\a[1]\\BeSweet.exe");
  }
  EXPECT_EQ(profile.readKeys, std::vector<std::string>{"EXE/BeSweet"});
  // Later keys keep the controls' initial state.
  EXPECT_EQ(form.Text(SettingControl::feSurCode), "");
  EXPECT_EQ(form.Text(SettingControl::eAzid), "");
  EXPECT_FALSE(form.Checked(SettingControl::rbDTSCD));
  EXPECT_FALSE(form.settingsTabShown);
  EXPECT_EQ(form.otaFixedUpdates, 0);
}

TEST(SettingsStore, KeysAfterAStoppedLoadKeepTheirStoredValuesUntilChanged) {
  fakes::FakeProfileStore profile;
  profile.SetFileText(kFile,
                      "[EXE]\nBeSweet=C:\\a.exe\nSurCode=C:\\s[1].exe\n[LOG]\nUse Log=1\nFilename=C:\\k.log\n"
                      "[SETTINGS]\nCDDA CD=1\n[Azid]\nOptions=-x\n");
  fakes::FakeSettingsForm form;
  UnreadSettings unread;
  EXPECT_THROW(LoadSettings(profile, kFile, form, unread), KavrinError);
  // The user changes two controls the load did not reach, one of them a
  // mode, and closes. The invalid key is stored from its field; the mode
  // keys go together, so the stored CDDA CD=1 cannot outvote the choice.
  form.SetText(SettingControl::eBoost, "-b 2");
  form.SetChecked(SettingControl::rbAC3CD, true);
  StoreSettings(profile, kFile, form, unread);
  EXPECT_EQ(profile.FileText(kFile),
            "[EXE]\r\nBeSweet=C:\\a.exe\r\nSurCode=\r\n[LOG]\r\nUse Log=1\r\n"
            "Filename=C:\\k.log\r\n[SETTINGS]\r\nCDDA CD=0\r\nDTS CD=0\r\nAC3 CD=1\r\n[Azid]\r\nOptions=-x\r\n"
            "[Boost]\r\nOptions=-b 2\r\n");
}

TEST(SettingsStore, NewFileHoldsAllKeysInTableOrder) {
  fakes::FakeProfileStore profile;
  fakes::FakeSettingsForm form;
  UnreadSettings unread;
  LoadSettings(profile, kFile, form, unread);
  form.SetFileName(SettingControl::feBeSweet, "C:\\Program Files\\BeSweet\\BeSweet.exe");
  form.SetText(SettingControl::feLogfile, "\"C:\\My Logs\\a.log\"");
  StoreSettings(profile, kFile, form, unread);
  EXPECT_EQ(profile.FileText(kFile),
            "[EXE]\r\nBeSweet=C:\\Program Files\\BeSweet\\BeSweet.exe\r\nSurCode=\r\n"
            "[FOLDERS]\r\nBeSweet=\r\nSurCode=\r\n"
            "[LOG]\r\nUse Log=0\r\nFilename=\"C:\\My Logs\\a.log\"\r\n"
            "[SETTINGS]\r\nNormalize=1\r\nDTS CD=1\r\nAC3 CD=0\r\nCDDA CD=0\r\nShutdown=0\r\n"
            "[OTA]\r\nOptions=\r\n[Azid]\r\nOptions=-c normal -L -3db\r\n"
            "[SSRC]\r\nOptions=--rate 44100\r\n[Boost]\r\nOptions=\r\n");
}

TEST(SettingsStore, StopsAtTheFirstRefusedWrite) {
  fakes::FakeProfileStore profile;
  profile.failFromWrite = 3;
  fakes::FakeSettingsForm form;
  UnreadSettings unread;
  try {
    StoreSettings(profile, kFile, form, unread);
    FAIL() << "a refused write was not reported";
  } catch (const KavrinError& error) {
    EXPECT_EQ(std::string(error.what()), "Unable to write to " + kFile);
  }
  EXPECT_EQ(profile.writes, 3);
  EXPECT_EQ(profile.FileText(kFile), "[EXE]\r\nBeSweet=\r\nSurCode=\r\n");
}

}  // namespace
}  // namespace kavrin
