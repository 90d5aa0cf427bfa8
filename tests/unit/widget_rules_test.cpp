#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/widget_rules.hpp"

namespace kavrin {
namespace {

using namespace std::string_literals;

constexpr PixelRect kWork{0, 0, 1280, 1000};

TEST(PlaceDropDown, BelowOrAboveTheFieldAndLeftOrRightAligned) {
  struct Case {
    const char* name;
    PixelRect field;
    int width, height;
    PixelRect expected;
  };
  const Case cases[] = {
      {"room below", {100, 100, 373, 121}, 432, 320, {100, 121, 532, 441}},
      {"fits exactly at the bottom", {100, 659, 373, 680}, 432, 320, {100, 680, 532, 1000}},
      {"too low, more room above", {100, 700, 373, 721}, 432, 320, {100, 380, 532, 700}},
      {"too low, but less room above", {100, 200, 373, 221}, 432, 900, {100, 221, 532, 1121}},
      {"too far right, more room left", {900, 100, 1173, 121}, 432, 320, {741, 121, 1173, 441}},
      {"too far right, less room left", {-200, 100, 1270, 121}, 1500, 320, {-200, 121, 1300, 441}},
      {"narrower than the field stays left", {1000, 100, 1400, 121}, 300, 320, {1000, 121, 1300, 441}},
      {"bottom right corner", {900, 900, 1173, 921}, 432, 320, {741, 580, 1173, 900}},
  };
  for (const Case& c : cases) {
    const PixelRect place = PlaceDropDown(c.field, c.width, c.height, kWork);
    EXPECT_EQ(place.left, c.expected.left) << c.name;
    EXPECT_EQ(place.top, c.expected.top) << c.name;
    EXPECT_EQ(place.right, c.expected.right) << c.name;
    EXPECT_EQ(place.bottom, c.expected.bottom) << c.name;
  }
}

TEST(PlaceDropDown, UsesTheWorkAreaNotTheScreenOrigin) {
  // A second monitor to the right, with a task bar at its top.
  const PixelRect work{1280, 40, 2560, 1024};
  const PixelRect place = PlaceDropDown({1300, 900, 1573, 921}, 432, 320, work);
  EXPECT_EQ(place.top, 580);
  EXPECT_EQ(place.left, 1300);
}

TEST(DialogFilter, BarsBecomeNulsAndTwoNulsEndIt) {
  EXPECT_EQ(DialogFilter("Sound Files (*.vob; *.ac3)|*.vob;*.ac3|All Files (*.*)|*.*"),
            "Sound Files (*.vob; *.ac3)\0*.vob;*.ac3\0All Files (*.*)\0*.*\0\0"s);
  EXPECT_EQ(DialogFilter(""), "\0\0"s);
}

TEST(DialogDefaultExtension, DropsTheWildcardAndTheDot) {
  EXPECT_EQ(DialogDefaultExtension("*.vob"), "vob");
  EXPECT_EQ(DialogDefaultExtension(".ac3"), "ac3");
  EXPECT_EQ(DialogDefaultExtension("wav"), "wav");
  EXPECT_EQ(DialogDefaultExtension("*.*"), "");
  EXPECT_EQ(DialogDefaultExtension(""), "");
}

TEST(DialogFiles, OnePathOrAFolderWithNamesInTheDialogsOrder) {
  struct Case {
    const char* name;
    std::string buffer;
    std::vector<std::string> files;
  };
  const Case cases[] = {
      {"one file", "C:\\Film\\VTS_01_1.VOB\0\0"s, {"C:\\Film\\VTS_01_1.VOB"}},
      {"several", "C:\\Film\0b.vob\0a.ac3\0\0"s, {"C:\\Film\\b.vob", "C:\\Film\\a.ac3"}},
      {"several in a root", "D:\\\0x.vob\0y.vob\0\0"s, {"D:\\x.vob", "D:\\y.vob"}},
      {"names with blanks",
       "C:\\My Film\0part 1.vob\0part 2.vob\0\0"s,
       {"C:\\My Film\\part 1.vob", "C:\\My Film\\part 2.vob"}},
      {"what follows the two NULs is not read", "C:\\a.vob\0\0stale\0"s, {"C:\\a.vob"}},
      {"nothing", "\0\0"s, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(DialogFiles(c.buffer), c.files) << c.name;
}

TEST(QuotedIfBlank, QuotesAPathWithABlankUnlessItBeginsWithAQuote) {
  EXPECT_EQ(QuotedIfBlank("C:\\Program Files\\BeSweet.exe"), "\"C:\\Program Files\\BeSweet.exe\"");
  EXPECT_EQ(QuotedIfBlank("\"C:\\Program Files\\BeSweet.exe\""), "\"C:\\Program Files\\BeSweet.exe\"");
  EXPECT_EQ(QuotedIfBlank("C:\\Tools\\BeSweet.exe"), "C:\\Tools\\BeSweet.exe");
  EXPECT_EQ(QuotedIfBlank(""), "");
}

TEST(StartOfFileBrowse, TakesTheExistingFolderAndAValidName) {
  const std::set<std::string> folders = {"C:\\Tools", "C:\\"};
  const FolderExists exists = [&](const std::string& folder) { return folders.count(folder) != 0; };
  struct Case {
    const char* name;
    std::string reading;
    std::optional<std::string> initialDir;
    std::optional<std::string> fileName;
  };
  const Case cases[] = {
      {"existing folder", "C:\\Tools\\BeSweet.exe", "C:\\Tools", "C:\\Tools\\BeSweet.exe"},
      {"missing folder keeps the dialog's own", "C:\\Gone\\BeSweet.exe", std::nullopt, "C:\\Gone\\BeSweet.exe"},
      {"a root", "C:\\x.exe", "C:\\", "C:\\x.exe"},
      {"a folder without a name", "C:\\Tools\\", "C:\\Tools", ""},
      {"a bare name", "BeSweet.exe", std::nullopt, "BeSweet.exe"},
      {"not a valid name leaves both", "C:\\Tools\\a|b.exe", std::nullopt, std::nullopt},
      {"empty leaves both", "", std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    const FileBrowseStart start = StartOfFileBrowse(c.reading, exists);
    EXPECT_EQ(start.initialDir, c.initialDir) << c.name;
    EXPECT_EQ(start.fileName, c.fileName) << c.name;
  }
}

TEST(StartOfFolderBrowse, TextThenLastChoiceThenTheRoot) {
  const std::set<std::string> folders = {"C:\\Out", "C:\\Last", "\\"};
  const FolderExists exists = [&](const std::string& folder) { return folders.count(folder) != 0; };
  EXPECT_EQ(StartOfFolderBrowse("C:\\Out", "C:\\Last", exists), "C:\\Out");
  EXPECT_EQ(StartOfFolderBrowse("", "C:\\Last", exists), "C:\\Last");
  EXPECT_EQ(StartOfFolderBrowse("", "", exists), "\\");
  EXPECT_EQ(StartOfFolderBrowse("C:\\Missing", "C:\\Last", exists), "\\") << "a missing text does not fall back";
  EXPECT_EQ(StartOfFolderBrowse("", "C:\\Gone", exists), "\\");
}

}  // namespace
}  // namespace kavrin

namespace kavrin {
namespace {

TEST(MissingFolders, OutermostFirstUpToTheFirstThatExists) {
  const std::set<std::string> folders = {"C:\\Out", "D:\\"};
  const FolderExists exists = [&](const std::string& folder) { return folders.count(folder) != 0; };
  struct Case {
    const char* name;
    std::string folder;
    std::vector<std::string> missing;
  };
  const Case cases[] = {
      {"two levels", "C:\\Out\\new\\deeper", {"C:\\Out\\new", "C:\\Out\\new\\deeper"}},
      {"a trailing delimiter", "C:\\Out\\new\\", {"C:\\Out\\new"}},
      {"it exists", "C:\\Out", {}},
      {"down from a missing drive root", "E:\\a\\b", {"E:\\a", "E:\\a\\b"}},
      {"a root alone", "D:\\", {}},
      {"a relative name", "new\\sub", {"new", "new\\sub"}},
      {"empty", "", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(MissingFolders(c.folder, exists), c.missing) << c.name;
}

}  // namespace
}  // namespace kavrin
