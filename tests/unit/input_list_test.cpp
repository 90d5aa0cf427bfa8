#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/error.hpp"
#include "fakes/fake_file_lookup.hpp"
#include "fakes/fake_text_services.hpp"
#include "inputlist/input_list.hpp"

namespace kavrin {
namespace {

using Streams = std::array<bool, kStreamCount>;
constexpr Streams kOnly80 = {true, false, false, false, false, false, false, false};

std::vector<std::string> Texts(const InputList& list) {
  std::vector<std::string> texts;
  for (const InputEntry& entry : list.Entries()) texts.push_back(entry.Text);
  return texts;
}

InputList ListOf(const std::vector<std::string>& paths) {
  InputList list;
  list.Add(paths);
  return list;
}

TEST(InputList, AddAppendsInDialogOrderEachWithOnly80AndLeavesTheSelection) {
  InputList list = ListOf({"C:\\a.vob"});
  list.Select(0);
  list.Add({"D:\\VIDEO_TS\\VTS_01_1.VOB", "D:\\x.ac3", "D:\\VIDEO_TS\\VTS_01_2.VOB"});

  EXPECT_EQ(Texts(list), (std::vector<std::string>{"C:\\a.vob", "D:\\VIDEO_TS\\VTS_01_1.VOB", "D:\\x.ac3",
                                                   "D:\\VIDEO_TS\\VTS_01_2.VOB"}));
  for (const InputEntry& entry : list.Entries()) {
    ASSERT_NE(entry.File, nullptr);
    EXPECT_EQ(entry.File->Path, entry.Text);
    EXPECT_EQ(entry.File->Streams, kOnly80);
  }
  EXPECT_EQ(list.Selection(), 0u);
}

TEST(InputList, TheSameFileTwiceGetsARecordOfItsOwn) {
  InputList list = ListOf({"C:\\a.vob", "C:\\a.vob"});
  ASSERT_EQ(list.Entries().size(), 2u);
  EXPECT_NE(list.Entries()[0].File, list.Entries()[1].File);
  list.Select(1);
  list.StoreStreamChoice(0, false);
  EXPECT_TRUE(list.Entries()[0].File->Streams[0]);
}

struct MoveCase {
  const char* name;
  int count;
  std::optional<std::size_t> selected;
  bool up;
  std::vector<std::string> order;
  std::optional<std::size_t> selectedAfter;
  bool changed;
};

TEST(InputList, MovesSwapWithTheNeighbourAndKeepTheSelection) {
  const std::vector<MoveCase> cases = {
      {"up from the first", 3, 0, true, {"0", "1", "2"}, 0, false},
      {"down from the last", 3, 2, false, {"0", "1", "2"}, 2, false},
      {"up without selection", 3, std::nullopt, true, {"0", "1", "2"}, std::nullopt, false},
      {"down without selection", 3, std::nullopt, false, {"0", "1", "2"}, std::nullopt, false},
      {"up on an empty list", 0, std::nullopt, true, {}, std::nullopt, false},
      {"down on an empty list", 0, std::nullopt, false, {}, std::nullopt, false},
      {"up from the middle", 3, 1, true, {"1", "0", "2"}, 0, true},
      {"down from the middle", 3, 1, false, {"0", "2", "1"}, 2, true},
      {"down from the first", 2, 0, false, {"1", "0"}, 1, true},
  };
  for (const MoveCase& c : cases) {
    SCOPED_TRACE(c.name);
    InputList list;
    for (int i = 0; i < c.count; ++i) list.Add({std::to_string(i)});
    list.Select(c.selected);
    EXPECT_EQ(c.up ? list.MoveUp() : list.MoveDown(), c.changed);
    EXPECT_EQ(Texts(list), c.order);
    EXPECT_EQ(list.Selection(), c.selectedAfter);
    for (const InputEntry& entry : list.Entries()) EXPECT_EQ(entry.File->Path, entry.Text);
  }
}

TEST(InputList, MoveUpTwiceOnTheThirdOfFiveBringsItToTheTop) {
  InputList list = ListOf({"a", "b", "c", "d", "e"});
  list.Select(2);
  list.StoreStreamChoice(5, true);
  EXPECT_TRUE(list.MoveUp());
  EXPECT_TRUE(list.MoveUp());
  EXPECT_EQ(Texts(list), (std::vector<std::string>{"c", "a", "b", "d", "e"}));
  EXPECT_EQ(list.Selection(), 0u);
  EXPECT_TRUE(list.Entries()[0].File->Streams[5]);
  EXPECT_FALSE(list.MoveUp());
}

TEST(InputList, DeleteRemovesTheSelectedEntryAndClearsTheSelection) {
  InputList list = ListOf({"a", "b", "c"});
  EXPECT_FALSE(list.Delete());
  EXPECT_EQ(list.Entries().size(), 3u);

  list.Select(1);
  EXPECT_TRUE(list.Delete());
  EXPECT_EQ(Texts(list), (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(list.Selection(), std::nullopt);
  EXPECT_FALSE(list.Delete());
}

TEST(InputList, CancelBringsBackADeletedEntryInPlaceWithItsRecord) {
  InputList list = ListOf({"a.vob", "b.vob", "c.vob"});
  list.Select(1);
  list.StoreStreamChoice(3, true);
  const auto record = list.Entries()[1].File;

  list.InitPopup();
  list.Select(1);
  list.Delete();
  list.Add({"d.vob"});
  list.Cancel();

  EXPECT_EQ(Texts(list), (std::vector<std::string>{"a.vob", "b.vob", "c.vob"}));
  EXPECT_EQ(list.Entries()[1].File, record);
  EXPECT_TRUE(record->Streams[3]);
  EXPECT_EQ(list.Selection(), std::nullopt);
}

TEST(InputList, FlagsChangedWhileOpenSurviveCancelBecauseRecordsAreShared) {
  InputList list = ListOf({"a.vob", "b.vob"});
  list.InitPopup();
  list.Select(0);
  list.StoreStreamChoice(0, false);
  list.MoveDown();
  list.Cancel();

  EXPECT_EQ(Texts(list), (std::vector<std::string>{"a.vob", "b.vob"}));
  EXPECT_FALSE(list.Entries()[0].File->Streams[0]);
  EXPECT_TRUE(list.Entries()[1].File->Streams[0]);
}

TEST(InputList, EachOpeningTakesAFreshSavedCopy) {
  InputList list = ListOf({"a"});
  list.InitPopup();
  list.Add({"b"});
  list.InitPopup();
  list.Add({"c"});
  list.Cancel();
  EXPECT_EQ(Texts(list), (std::vector<std::string>{"a", "b"}));
}

TEST(InputList, StreamChoicesFollowTheSelectedEntry) {
  InputList list = ListOf({"C:\\x\\VTS_01_1.VoB", "C:\\x\\audio.ac3", "C:\\x\\VTS_02_1.vob"});
  EXPECT_FALSE(list.SelectedStreamChoices().Enabled);

  list.Select(0);
  EXPECT_TRUE(list.StoreStreamChoice(0, false));
  EXPECT_TRUE(list.StoreStreamChoice(3, true));
  StreamChoices shown = list.SelectedStreamChoices();
  EXPECT_TRUE(shown.Enabled);
  EXPECT_EQ(shown.Checked, (Streams{false, false, false, true, false, false, false, false}));

  // Not a ".vob" file: disabled and all clear, even though its record has 0x80 set.
  list.Select(1);
  shown = list.SelectedStreamChoices();
  EXPECT_FALSE(shown.Enabled);
  EXPECT_EQ(shown.Checked, Streams{});

  list.Select(2);
  shown = list.SelectedStreamChoices();
  EXPECT_TRUE(shown.Enabled);
  EXPECT_EQ(shown.Checked, kOnly80);
}

TEST(InputList, StreamChoiceIsStoredOnlyWithASelectionAndAValidTag) {
  InputList list = ListOf({"a.vob"});
  EXPECT_FALSE(list.StoreStreamChoice(1, true));
  list.Select(0);
  EXPECT_FALSE(list.StoreStreamChoice(8, true));
  EXPECT_FALSE(list.StoreStreamChoice(-1, true));
  EXPECT_EQ(list.Entries()[0].File->Streams, kOnly80);
  EXPECT_TRUE(list.StoreStreamChoice(7, true));
  EXPECT_TRUE(list.Entries()[0].File->Streams[7]);
}

TEST(InputList, SummaryTextAndGoFollowTheCount) {
  InputList list;
  EXPECT_EQ(list.SummaryText(), "0 files selected");
  EXPECT_FALSE(list.GoEnabled());
  list.Add({"a"});
  EXPECT_EQ(list.SummaryText(), "1 file selected");
  EXPECT_TRUE(list.GoEnabled());
  list.Add({"b"});
  EXPECT_EQ(list.SummaryText(), "2 files selected");
}

TEST(VobFile, ExtensionRule) {
  const struct {
    const char* path;
    const char* extension;
    bool vob;
  } cases[] = {
      {"D:\\VIDEO_TS\\VTS_01_1.vob", ".vob", true},
      {"D:\\VIDEO_TS\\VTS_01_1.VoB", ".VoB", true},
      {"C:\\Film.vob\\track", "", false},
      {"C:\\x\\audio.ac3", ".ac3", false},
      {"C:\\x\\noext", "", false},
      {"C:film.vob", ".vob", true},
      {"C:\\x\\a.b.vob", ".vob", true},
      {"C:\\x\\a.vob.bak", ".bak", false},
      {"C:\\x\\a.vobx", ".vobx", false},
      {"", "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(FileExtension(c.path), c.extension);
    EXPECT_EQ(IsVobFile(c.path), c.vob);
  }
}

class InputListSort : public ::testing::Test {
 protected:
  void File(const std::string& path, int hour, int minute = 0, int second = 0) {
    files_.AddEntry(path, DateTime{2004, 3, 7, hour, minute, second});
  }
  void Sort() { list_.Sort(files_, collation_, errors_); }

  fakes::FakeFileLookup files_;
  fakes::FakeCollation collation_;
  fakes::FakeErrorTexts errors_;
  InputList list_;
};

TEST_F(InputListSort, ALockedListRefusesEveryChangeOfEntriesButTakesStreamChoices) {
  File("C:\\b.vob", 9);
  File("C:\\a.vob", 10);
  list_.Add({"C:\\b.vob", "C:\\a.vob"});
  list_.InitPopup();
  list_.Add({"C:\\c.vob"});
  list_.SetLocked(true);
  list_.Select(1);

  EXPECT_FALSE(list_.Add({"C:\\d.vob"}));
  EXPECT_FALSE(list_.MoveUp());
  EXPECT_FALSE(list_.MoveDown());
  EXPECT_FALSE(list_.Delete());
  list_.Select(1);
  Sort();
  list_.Select(1);
  EXPECT_TRUE(list_.StoreStreamChoice(5, true));
  EXPECT_FALSE(list_.Cancel());
  EXPECT_EQ(Texts(list_), (std::vector<std::string>{"C:\\b.vob", "C:\\a.vob", "C:\\c.vob"}));
  EXPECT_TRUE(list_.Entries()[1].File->Streams[5]);

  // Unlocked, everything works again.
  list_.SetLocked(false);
  EXPECT_TRUE(list_.Cancel());
  EXPECT_EQ(Texts(list_), (std::vector<std::string>{"C:\\b.vob", "C:\\a.vob"}));
}

TEST_F(InputListSort, ByTimeThenPathIgnoringCaseKeepingEachRecord) {
  File("C:\\Dvd\\c.vob", 10);
  File("C:\\Dvd\\b.vob", 9);
  File("C:\\Dvd\\A.vob", 9);
  list_.Add({"C:\\Dvd\\c.vob", "C:\\Dvd\\b.vob", "C:\\Dvd\\A.vob"});
  list_.Select(1);
  list_.StoreStreamChoice(6, true);
  const auto bRecord = list_.Entries()[1].File;

  Sort();

  EXPECT_EQ(Texts(list_), (std::vector<std::string>{"C:\\Dvd\\A.vob", "C:\\Dvd\\b.vob", "C:\\Dvd\\c.vob"}));
  EXPECT_EQ(list_.Entries()[1].File, bRecord);
  EXPECT_TRUE(bRecord->Streams[6]);
  EXPECT_EQ(list_.Selection(), std::nullopt);
}

TEST_F(InputListSort, LetterCaseDoesNotDecideTheOrder) {
  // Byte order would put "B" before "a".
  File("C:\\B.vob", 9);
  File("C:\\a.vob", 9);
  list_.Add({"C:\\B.vob", "C:\\a.vob"});
  Sort();
  EXPECT_EQ(Texts(list_), (std::vector<std::string>{"C:\\a.vob", "C:\\B.vob"}));
}

TEST_F(InputListSort, TimeComesBeforeThePathAndEveryFieldCounts) {
  File("C:\\a.vob", 9, 0, 1);
  File("C:\\b.vob", 9, 0, 0);
  File("C:\\c.vob", 8, 59, 59);
  list_.Add({"C:\\a.vob", "C:\\b.vob", "C:\\c.vob"});
  Sort();
  EXPECT_EQ(Texts(list_), (std::vector<std::string>{"C:\\c.vob", "C:\\b.vob", "C:\\a.vob"}));
}

TEST_F(InputListSort, EqualKeysComeOutReversed) {
  File("C:\\same.vob", 9);
  File("C:\\other.vob", 12);
  list_.Add({"C:\\same.vob", "C:\\other.vob", "C:\\same.vob", "C:\\same.vob"});
  const auto first = list_.Entries()[0].File;
  const auto second = list_.Entries()[2].File;
  const auto third = list_.Entries()[3].File;

  Sort();

  ASSERT_EQ(Texts(list_), (std::vector<std::string>{"C:\\same.vob", "C:\\same.vob", "C:\\same.vob", "C:\\other.vob"}));
  EXPECT_EQ(list_.Entries()[0].File, third);
  EXPECT_EQ(list_.Entries()[1].File, second);
  EXPECT_EQ(list_.Entries()[2].File, first);
}

TEST_F(InputListSort, AMissingFileStopsBeforeTheListIsTouched) {
  File("C:\\b.vob", 10);
  File("C:\\c.vob", 9);
  errors_.texts[2] = "The system cannot find the file specified.";
  list_.Add({"C:\\b.vob", "C:\\gone.vob", "C:\\c.vob"});
  list_.Select(2);
  const std::vector<InputEntry> before = list_.Entries();

  try {
    Sort();
    FAIL() << "the sort went through";
  } catch (const KavrinError& error) {
    EXPECT_STREQ(error.what(), "Win32 Error.  Code: 2.\r\nThe system cannot find the file specified.");
  }
  ASSERT_EQ(list_.Entries().size(), before.size());
  for (std::size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(list_.Entries()[i].Text, before[i].Text);
    EXPECT_EQ(list_.Entries()[i].File, before[i].File);
  }
  EXPECT_EQ(list_.Selection(), 2u);
  EXPECT_EQ(files_.lookups, (std::vector<std::string>{"C:\\b.vob", "C:\\gone.vob"}));
}

TEST(SortKey, FourteenDigitsThenThePath) {
  EXPECT_EQ(SortKey(DateTime{2004, 3, 7, 9, 5, 1}, "C:\\a.vob"), "20040307090501C:\\a.vob");
  EXPECT_EQ(SortKey(DateTime{1999, 12, 31, 23, 59, 59}, ""), "19991231235959");
}

TEST(SystemErrorMessage, CodeLineBreakAndSystemText) {
  fakes::FakeErrorTexts errors;
  errors.texts[3] = "The system cannot find the path specified.";
  EXPECT_EQ(SystemErrorMessage(3, errors), "Win32 Error.  Code: 3.\r\nThe system cannot find the path specified.");
  EXPECT_EQ(SystemErrorMessage(0, errors), "A Win32 API function failed");
  EXPECT_EQ(SystemErrorMessage(0x80070002u, errors), "Win32 Error.  Code: -2147024894.\r\n");
  EXPECT_EQ(errors.asked, (std::vector<std::uint32_t>{3, 0x80070002u}));
}

}  // namespace
}  // namespace kavrin
