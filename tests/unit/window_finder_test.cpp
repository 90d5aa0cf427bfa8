#include <gtest/gtest.h>

#include <string>

#include "encoder/window_finder.hpp"
#include "fakes/fake_clock.hpp"
#include "fakes/fake_window_system.hpp"

namespace kavrin {
namespace {

class WindowFinderTest : public ::testing::Test {
 protected:
  WindowFinderTest() : finder_(windows_, pump_, clock_) { finder_.CreateWindowList(); }

  fakes::FakeWindowSystem windows_;
  fakes::FakeMessagePump pump_;
  fakes::FakeClock clock_;
  WindowFinder finder_;
};

struct MatchCase {
  const char* name;
  const char* windowTitle;
  const char* wanted;
  bool exact;
  bool found;
};

TEST_F(WindowFinderTest, MatchesByExactOrSubstringIgnoringAsciiCase) {
  const MatchCase cases[] = {
      {"exact, other case", "DTS Encoder", "dts encoder", true, true},
      {"exact, part only", "DTS Encoder", "DTS", true, false},
      {"substring, part", "DTS Encoder", "dts", false, true},
      {"exact, trailing blank in title", "DTS Encoder ", "DTS Encoder", true, false},
      {"substring, trailing blank in title", "DTS Encoder ", "DTS Encoder", false, true},
      {"exact, leading blank in title", "  DTS Encoder", "DTS Encoder", true, false},
      {"empty wanted title, substring", "DTS Encoder", "", false, false},
      {"empty wanted title, exact", "DTS Encoder", "", true, false},
      {"accented letters are not folded", "\xe9t\xe9", "\xc9T\xc9", true, false},
      {"accented letters compared as bytes", "\xe9t\xe9", "\xe9T\xe9", true, true},
  };
  for (const MatchCase& c : cases) {
    SCOPED_TRACE(c.name);
    windows_.windows.clear();
    const WindowHandle window = windows_.Add(c.windowTitle);
    EXPECT_EQ(finder_.FindWindowByTitle(c.wanted, 0, c.exact), c.found ? window : 0);
  }
}

TEST_F(WindowFinderTest, HiddenAndBlankTitledWindowsNeverEnterTheList) {
  windows_.Add("DTS Encoder", false);
  windows_.Add(" \t ");
  windows_.Add("");
  const WindowHandle shown = windows_.Add(" Notepad ");
  EXPECT_EQ(finder_.FindWindowByTitle("DTS Encoder", 0, false), 0u);
  ASSERT_EQ(finder_.Entries()->size(), 1u);
  EXPECT_EQ(finder_.Entries()->at(0).Title, " Notepad ");  // stored untrimmed
  EXPECT_EQ(finder_.Entries()->at(0).Object->Handle, shown);
}

TEST_F(WindowFinderTest, UnreadableTitleIsSkipped) {
  windows_.Add("DTS Encoder");
  windows_.failTitle = true;
  EXPECT_EQ(finder_.FindWindowByTitle("DTS Encoder", 0, true), 0u);
  EXPECT_TRUE(finder_.Entries()->empty());
}

TEST_F(WindowFinderTest, LaterWindowOfTheSameTitleWins) {
  windows_.Add("DTS Encoder");
  windows_.Add("Other");
  const WindowHandle later = windows_.Add("dts encoder");
  EXPECT_EQ(finder_.FindWindowByTitle("DTS ENCODER", 1, true), later);
}

TEST_F(WindowFinderTest, TitleIsComparedOnItsFirst249Characters) {
  const std::string title = std::string(249, 'a') + "TAIL";
  windows_.Add(title);
  EXPECT_EQ(finder_.FindWindowByTitle("TAIL", 0, false), 0u);
  EXPECT_NE(finder_.FindWindowByTitle(std::string(249, 'A'), 0, true), 0u);
  EXPECT_EQ(windows_.titleBufferSizes.back(), 250);
}

TEST_F(WindowFinderTest, TimeoutZeroOrLessMakesOnePassWithOneShortSleep) {
  for (int timeout : {0, -3}) {
    SCOPED_TRACE(timeout);
    windows_.enumerations = 0;
    clock_.sleeps.clear();
    pump_.calls = 0;
    EXPECT_EQ(finder_.FindWindowByTitle("DTS Encoder", timeout, true), 0u);
    EXPECT_EQ(windows_.enumerations, 1);
    EXPECT_EQ(pump_.calls, 1);
    EXPECT_EQ(clock_.sleeps, std::vector<unsigned>{10});
  }
}

TEST_F(WindowFinderTest, TimeoutOfOneSecondAllowsAHundredPasses) {
  EXPECT_EQ(finder_.FindWindowByTitle("DTS Encoder", 1, true), 0u);
  EXPECT_EQ(windows_.enumerations, 100);
  EXPECT_EQ(clock_.sleptMilliseconds, 1000u);
  EXPECT_EQ(pump_.calls, 100);
}

TEST_F(WindowFinderTest, EachPassReenumeratesUntilTheWindowAppears) {
  WindowHandle late = 0;
  windows_.beforeEnumeration = [&](int pass) {
    if (pass == 5) late = windows_.Add("DTS Encoder");
  };
  EXPECT_EQ(finder_.FindWindowByTitle("DTS Encoder", 1, true), late);
  EXPECT_EQ(windows_.enumerations, 5);
  EXPECT_EQ(clock_.sleeps.size(), 4u);       // a successful pass does not sleep
  EXPECT_EQ(finder_.Entries()->size(), 1u);  // earlier passes' entries are gone
}

TEST_F(WindowFinderTest, ClearingKeepsOrReleasesTheList) {
  windows_.Add("A");
  finder_.FindWindowByTitle("A", 0, true);
  finder_.ClearWindowList(false);
  ASSERT_TRUE(finder_.WindowListExists());
  EXPECT_TRUE(finder_.Entries()->empty());
  finder_.ClearWindowList(true);
  EXPECT_FALSE(finder_.WindowListExists());
  finder_.ClearWindowList(true);  // nothing to do without a list
  EXPECT_FALSE(finder_.WindowListExists());
}

}  // namespace
}  // namespace kavrin
