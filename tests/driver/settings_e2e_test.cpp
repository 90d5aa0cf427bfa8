#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "harness.hpp"
#include "kavrin_window.hpp"

namespace kavrin::e2e {
namespace {

using namespace std::chrono_literals;

std::string Describe(const IniEntry& entry) { return "[" + entry.section + "] " + entry.key + "=" + entry.value; }

std::vector<std::string> Describe(const std::vector<IniEntry>& entries) {
  std::vector<std::string> lines;
  for (const IniEntry& entry : entries) lines.push_back(Describe(entry));
  return lines;
}

const std::vector<IniEntry> kFirstRunFile = {
    {"EXE", "BeSweet", ""},
    {"EXE", "SurCode", ""},
    {"FOLDERS", "BeSweet", ""},
    {"FOLDERS", "SurCode", ""},
    {"LOG", "Use Log", "0"},
    {"LOG", "Filename", ""},
    {"SETTINGS", "Normalize", "1"},
    {"SETTINGS", "DTS CD", "1"},
    {"SETTINGS", "AC3 CD", "0"},
    {"SETTINGS", "CDDA CD", "0"},
    {"SETTINGS", "Shutdown", "0"},
    {"OTA", "Options", ""},
    {"Azid", "Options", "-c normal -L -3db"},
    {"SSRC", "Options", "--rate 44100"},
    {"Boost", "Options", ""},
};

// The fifteen keys of a file that may hold other lines too.
void ExpectKeys(const IniFile& ini, const std::vector<IniEntry>& expected) {
  for (const IniEntry& want : expected) {
    const IniEntry* got = ini.Find(want.section, want.key);
    if (got == nullptr) {
      ADD_FAILURE() << "missing " << Describe(want);
    } else {
      EXPECT_EQ(got->value, want.value) << "[" << want.section << "] " << want.key;
    }
  }
}

std::vector<IniEntry> With(std::vector<IniEntry> entries, const IniEntry& changed) {
  for (IniEntry& entry : entries) {
    if (entry.section == changed.section && entry.key == changed.key) entry.value = changed.value;
  }
  return entries;
}

struct TextRow {
  const char* name;
  HWND control;
  std::string text;
};

void ExpectTexts(const std::vector<TextRow>& rows) {
  for (const TextRow& row : rows) EXPECT_EQ(TextOf(row.control), row.text) << row.name;
}

struct CheckRow {
  const char* name;
  HWND control;
  bool checked;
};

void ExpectChecks(const std::vector<CheckRow>& rows) {
  for (const CheckRow& row : rows) EXPECT_EQ(IsChecked(row.control), row.checked) << row.name;
}

using SettingsE2e = KavrinTest;

TEST_F(SettingsE2e, FirstRunShowsTheInitialStateAndTheFirstCloseWritesEveryKey) {
  ASSERT_FALSE(FileExists(kavrin_.IniPath()));
  ASSERT_NO_FATAL_FAILURE(StartAndFindWindow());
  const KavrinWindow& w = window_;

  const SIZE client = ClientSize(w.fKavrin);
  EXPECT_EQ(client.cx, 424);
  EXPECT_EQ(client.cy, 209);
  const LONG_PTR style = StyleOf(w.fKavrin);
  EXPECT_NE(style & WS_SYSMENU, 0);
  EXPECT_NE(style & WS_MINIMIZEBOX, 0);
  EXPECT_EQ(style & WS_MAXIMIZEBOX, 0) << "no maximise button";
  EXPECT_EQ(style & WS_THICKFRAME, 0) << "not resizable";

  struct Caption {
    const char* className;
    const char* text;
    size_t count;
  };
  const Caption captions[] = {
      {"Static", "Input files", 1},
      {"Static", "BeSweet", 1},
      {"Static", "SurCode CD Pro DTS", 1},
      {"Static", "BeSweet Temp Folder", 1},
      {"Static", "Final Output Folder", 1},
      {"Static", "Additional options", 1},
      {"Static", "Fixed options", 1},
      {"Static", "-ota(", 1},
      {"Static", "-azid(", 1},
      {"Static", "-ssrc(", 1},
      {"Static", "-boost(", 1},
      {"Static", ")", 4},
      {"Button", "Go", 1},
      {"Button", "Logfile", 1},
      {"Button", "Normalize", 1},
      {"Button", "DTS-CD", 1},
      {"Button", "AC3-CD", 1},
      {"Button", "CDDA", 1},
      {"Button", "Shutdown afterwards", 1},
  };
  const std::vector<HWND> all = Descendants(w.fKavrin);
  for (const Caption& caption : captions) {
    size_t count = 0;
    for (HWND control : all) count += ClassOf(control) == caption.className && TextOf(control) == caption.text;
    EXPECT_EQ(count, caption.count) << caption.className << " \"" << caption.text << "\"";
  }

  EXPECT_EQ(TabTexts(kavrin_.Handle(), w.PageControl1),
            (std::vector<std::string>{"Files and folders", "Besweet Settings"}));
  EXPECT_EQ(SelectedTab(w.PageControl1), 1) << "\"Besweet Settings\" in front";
  EXPECT_TRUE(IsShown(w.cbUseGMax));
  EXPECT_FALSE(IsShown(w.feBeSweet)) << "the \"Files and folders\" page is hidden";

  EXPECT_FALSE(IsEnabled(w.Button1)) << "\"Go\" starts disabled";
  EXPECT_FALSE(IsEnabled(w.feLogfile)) << "feLogfile follows the unchecked \"Logfile\"";
  EXPECT_NE(StyleOf(w.eOtaFixed) & ES_READONLY, 0);
  EXPECT_NE(StyleOf(w.eSSRCFixed) & ES_READONLY, 0);
  ExpectTexts({
      {"dxPopupEdit1", w.dxPopupEdit1, "0 files selected"},
      {"feBeSweet", w.feBeSweet, ""},
      {"feSurCode", w.feSurCode, ""},
      {"deBeSweetOutputFolder", w.deBeSweetOutputFolder, ""},
      {"deSurcodeOutputFolder", w.deSurcodeOutputFolder, ""},
      {"feLogfile", w.feLogfile, ""},
      {"eOta", w.eOta, ""},
      {"eAzid", w.eAzid, "-c normal -L -3db"},
      {"eOtaFixed", w.eOtaFixed, "-g max"},
      {"eSSRC", w.eSSRC, "--rate 44100"},
      {"eSSRCFixed", w.eSSRCFixed, "--rate 44100"},
      {"eBoost", w.eBoost, ""},
  });
  ExpectChecks({
      {"cbUseLogfile", w.cbUseLogfile, false},
      {"cbUseGMax", w.cbUseGMax, true},
      {"rbDTSCD", w.rbDTSCD, true},
      {"rbAC3CD", w.rbAC3CD, false},
      {"rbCDDA", w.rbCDDA, false},
      {"cbShutdown", w.cbShutdown, false},
  });

  ASSERT_NO_FATAL_FAILURE(CloseAndWaitForExit());
  const IniFile ini = ParseIni(ReadIni());
  EXPECT_EQ(ini.sections,
            (std::vector<std::string>{"EXE", "FOLDERS", "LOG", "SETTINGS", "OTA", "Azid", "SSRC", "Boost"}));
  EXPECT_EQ(Describe(ini.entries), Describe(kFirstRunFile));
}

TEST_F(SettingsE2e, WindowIsLaidOutAsDesignedAndCentred) {
  ASSERT_NO_FATAL_FAILURE(StartAndFindWindow());
  const KavrinWindow& w = window_;

  // Rectangles in the main window's client coordinates.
  auto at = [&](HWND control) {
    RECT rect = ScreenRect(control);
    MapWindowPoints(HWND_DESKTOP, w.fKavrin, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  };
  struct Place {
    const char* name;
    HWND control;
    LONG left, top, width, height;  // width 0: sized by its caption or its browse button
  };
  auto expectPlaces = [&](POINT origin, const std::vector<Place>& places) {
    for (const Place& place : places) {
      ASSERT_NE(place.control, nullptr) << place.name;
      const RECT rect = at(place.control);
      EXPECT_EQ(rect.left - origin.x, place.left) << place.name;
      EXPECT_EQ(rect.top - origin.y, place.top) << place.name;
      if (place.width == 0) continue;
      EXPECT_EQ(rect.right - rect.left, place.width) << place.name;
      EXPECT_EQ(rect.bottom - rect.top, place.height) << place.name;
    }
  };

  expectPlaces(POINT{0, 0}, {
                                {"Label2", FindLabel(w.fKavrin, "Input files"), 8, 8, 0, 0},
                                {"dxPopupEdit1", w.dxPopupEdit1, 64, 4, 0, 0},
                                {"Button1", w.Button1, 344, 4, 75, 25},
                                {"PageControl1", w.PageControl1, 8, 32, 409, 173},
                            });

  // A tab page's origin is wherever the page control puts it; the controls
  // keep their places relative to it.
  const RECT normalize = at(w.cbUseGMax);
  const POINT settingsPage{normalize.left - 8, normalize.top - 8};
  expectPlaces(settingsPage, {
                                 {"cbUseGMax", w.cbUseGMax, 8, 8, 0, 0},
                                 {"rbDTSCD", w.rbDTSCD, 80, 8, 0, 0},
                                 {"rbAC3CD", w.rbAC3CD, 150, 8, 65, 17},
                                 {"rbCDDA", w.rbCDDA, 216, 8, 0, 0},
                                 {"cbShutdown", w.cbShutdown, 272, 8, 121, 17},
                                 {"Label17", FindLabel(w.fKavrin, "Additional options"), 48, 32, 161, 13},
                                 {"Label18", FindLabel(w.fKavrin, "Fixed options"), 216, 32, 169, 13},
                                 {"Label6", FindLabel(w.fKavrin, "-ota("), 8, 52, 0, 0},
                                 {"eOta", w.eOta, 48, 48, 337, 21},
                                 {"Label7", FindLabel(w.fKavrin, "-azid("), 8, 76, 0, 0},
                                 {"eAzid", w.eAzid, 48, 72, 161, 21},
                                 {"eOtaFixed", w.eOtaFixed, 216, 72, 169, 21},
                                 {"Label8", FindLabel(w.fKavrin, "-ssrc("), 8, 100, 0, 0},
                                 {"eSSRC", w.eSSRC, 48, 96, 161, 21},
                                 {"eSSRCFixed", w.eSSRCFixed, 216, 96, 169, 21},
                                 {"Label9", FindLabel(w.fKavrin, "-boost("), 8, 124, 0, 0},
                                 {"eBoost", w.eBoost, 48, 120, 337, 21},
                             });

  const RECT beSweet = at(FindLabel(w.fKavrin, "BeSweet"));
  const POINT filesPage{beSweet.left - 8, beSweet.top - 8};
  EXPECT_EQ(filesPage.x, settingsPage.x);
  EXPECT_EQ(filesPage.y, settingsPage.y);
  expectPlaces(filesPage, {
                              {"Label3", FindLabel(w.fKavrin, "SurCode CD Pro DTS"), 8, 32, 0, 0},
                              {"Label4", FindLabel(w.fKavrin, "BeSweet Temp Folder"), 8, 56, 0, 0},
                              {"Label5", FindLabel(w.fKavrin, "Final Output Folder"), 8, 80, 0, 0},
                              {"feBeSweet", w.feBeSweet, 136, 4, 0, 0},
                              {"feSurCode", w.feSurCode, 136, 28, 0, 0},
                              {"deBeSweetOutputFolder", w.deBeSweetOutputFolder, 136, 52, 0, 0},
                              {"deSurcodeOutputFolder", w.deSurcodeOutputFolder, 136, 76, 0, 0},
                              {"feLogfile", w.feLogfile, 136, 100, 0, 0},
                              {"cbUseLogfile", w.cbUseLogfile, 8, 104, 97, 17},
                          });

  // Screen readers name a field after the label just before it in z-order.
  // The others are named through the system's annotation service, which
  // Wine lacks: there a name reads as the window's text.
  EXPECT_EQ(GetWindow(w.dxPopupEdit1, GW_HWNDPREV), FindLabel(w.fKavrin, "Input files"));
  if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr) {
    const std::pair<HWND, const wchar_t*> names[] = {
        {w.feLogfile, L"Logfile"},
        {w.eOtaFixed, L"Fixed options -azid("},
        {w.eSSRCFixed, L"Fixed options -ssrc("},
        {w.lbInputFiles, L"Input files"},
        {FindControls(w.feBeSweet, "Button").front(), L"Browse"},
        {FindControls(w.dxPopupEdit1, "Button").front(), L"Open"},
    };
    for (const auto& [control, name] : names) {
      EXPECT_TRUE(WaitFor([&, name = name, control = control] { return AccessibleName(control) == name; }, kReactBound,
                          "the accessible name of " + TextOf(control)));
    }
  }

  const RECT frame = ScreenRect(w.fKavrin);
  const LONG centreX = (frame.left + frame.right) / 2;
  const LONG centreY = (frame.top + frame.bottom) / 2;
  EXPECT_NEAR(centreX, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR(centreY, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
}

TEST_F(SettingsE2e, LogfileAndNormalizeKeepTheirFieldsInStep) {
  ASSERT_NO_FATAL_FAILURE(StartAndFindWindow());
  const KavrinWindow& w = window_;

  ASSERT_TRUE(ClickTab(kavrin_.Handle(), w.PageControl1, 0));
  ASSERT_TRUE(WaitFor([&] { return IsShown(w.cbUseLogfile); }, kReactBound, "the \"Files and folders\" page"));
  ASSERT_TRUE(SetText(w.feLogfile, "C:\\Logs\\run.log"));

  Click(w.cbUseLogfile);
  EXPECT_TRUE(WaitFor([&] { return IsChecked(w.cbUseLogfile) && IsEnabled(w.feLogfile); }, kReactBound,
                      "\"Logfile\" checked and feLogfile enabled"));
  EXPECT_EQ(TextOf(w.feLogfile), "C:\\Logs\\run.log");
  Click(w.cbUseLogfile);
  EXPECT_TRUE(WaitFor([&] { return !IsChecked(w.cbUseLogfile) && !IsEnabled(w.feLogfile); }, kReactBound,
                      "\"Logfile\" unchecked and feLogfile disabled"));
  EXPECT_EQ(TextOf(w.feLogfile), "C:\\Logs\\run.log");

  ASSERT_TRUE(ClickTab(kavrin_.Handle(), w.PageControl1, 1));
  ASSERT_TRUE(WaitFor([&] { return IsShown(w.cbUseGMax); }, kReactBound, "the \"Besweet Settings\" page"));
  Click(w.cbUseGMax);
  EXPECT_TRUE(WaitFor([&] { return !IsChecked(w.cbUseGMax) && TextOf(w.eOtaFixed).empty(); }, kReactBound,
                      "\"Normalize\" unchecked and eOtaFixed empty"));
  Click(w.cbUseGMax);
  EXPECT_TRUE(WaitFor([&] { return IsChecked(w.cbUseGMax) && TextOf(w.eOtaFixed) == "-g max"; }, kReactBound,
                      "\"Normalize\" checked and eOtaFixed \"-g max\""));

  ASSERT_NO_FATAL_FAILURE(CloseAndWaitForExit());
  ExpectKeys(ParseIni(ReadIni()), With(kFirstRunFile, {"LOG", "Filename", "C:\\Logs\\run.log"}));
}

TEST_F(SettingsE2e, NonDefaultValuesSurviveARoundTrip) {
  const std::string boost(3000, 'b');
  WriteIni(
      "; kept as written\r\n"
      "[EXE]\r\n"
      "BeSweet=C:\\Program Files\\BeSweet\\BeSweet.exe\r\n"
      "SurCode=\"D:\\Sur Code\\surcodedts.exe\"\r\n"
      "[FOLDERS]\r\n"
      "BeSweet=C:\\Temp Work\\\r\n"
      "SurCode=  D:\\Final  \r\n"
      "[LOG]\r\n"
      "Use Log=0x10\r\n"
      "Filename='C:\\Logs\\old.log'\r\n"
      "[SETTINGS]\r\n"
      "Normalize=0\r\n"
      "DTS CD=1\r\n"
      "AC3 CD=0\r\n"
      "CDDA CD=1\r\n"
      "Shutdown=$10\r\n"
      "[OTA]\r\n"
      "Options=-x 1\r\n"
      "[Azid]\r\n"
      "Options=\r\n"
      "[SSRC]\r\n"
      "Options=--rate 48000\r\n"
      "[Boost]\r\n"
      "Options=" +
      boost +
      "\r\n"
      "[Mine]\r\n"
      "Keep=this\r\n");
  ASSERT_NO_FATAL_FAILURE(StartAndFindWindow());
  const KavrinWindow& w = window_;

  ExpectTexts({
      {"feBeSweet", w.feBeSweet, "\"C:\\Program Files\\BeSweet\\BeSweet.exe\""},
      {"feSurCode", w.feSurCode, "\"D:\\Sur Code\\surcodedts.exe\""},
      {"deBeSweetOutputFolder", w.deBeSweetOutputFolder, "C:\\Temp Work\\"},
      {"deSurcodeOutputFolder", w.deSurcodeOutputFolder, "D:\\Final"},
      {"feLogfile", w.feLogfile, "C:\\Logs\\old.log"},
      {"eOta", w.eOta, "-x 1"},
      {"eAzid", w.eAzid, ""},
      {"eOtaFixed", w.eOtaFixed, ""},
      {"eSSRC", w.eSSRC, "--rate 48000"},
      {"eSSRCFixed", w.eSSRCFixed, "--rate 44100"},
      {"eBoost", w.eBoost, boost.substr(0, 2047)},
  });
  ExpectChecks({
      {"cbUseLogfile", w.cbUseLogfile, true},
      {"cbUseGMax", w.cbUseGMax, false},
      {"rbDTSCD", w.rbDTSCD, false},
      {"rbAC3CD", w.rbAC3CD, false},
      {"rbCDDA", w.rbCDDA, true},
      {"cbShutdown", w.cbShutdown, true},
  });
  EXPECT_TRUE(IsEnabled(w.feLogfile)) << "feLogfile follows the checked \"Logfile\"";

  // Typed with quotes: stored with them.
  ASSERT_TRUE(SetText(w.feLogfile, "\"C:\\My Logs\\run.log\""));
  ASSERT_NO_FATAL_FAILURE(CloseAndWaitForExit());

  const std::string bytes = ReadIni();
  EXPECT_NE(bytes.find("; kept as written"), std::string::npos);
  const IniFile ini = ParseIni(bytes);
  ExpectKeys(ini, {
                      {"EXE", "BeSweet", "C:\\Program Files\\BeSweet\\BeSweet.exe"},
                      {"EXE", "SurCode", "D:\\Sur Code\\surcodedts.exe"},
                      {"FOLDERS", "BeSweet", "C:\\Temp Work\\"},
                      {"FOLDERS", "SurCode", "D:\\Final"},
                      {"LOG", "Use Log", "1"},
                      {"LOG", "Filename", "\"C:\\My Logs\\run.log\""},
                      {"SETTINGS", "Normalize", "0"},
                      {"SETTINGS", "DTS CD", "0"},
                      {"SETTINGS", "AC3 CD", "0"},
                      {"SETTINGS", "CDDA CD", "1"},
                      {"SETTINGS", "Shutdown", "1"},
                      {"OTA", "Options", "-x 1"},
                      {"Azid", "Options", ""},
                      {"SSRC", "Options", "--rate 48000"},
                      {"Boost", "Options", boost.substr(0, 2047)},
                      {"Mine", "Keep", "this"},
                  });

  // The next load drops the enclosing quotes again.
  KavrinProcess second(folder_);
  ASSERT_TRUE(second.Start());
  HWND form = nullptr;
  ASSERT_TRUE(second.WaitForMainWindow(form));
  KavrinWindow again;
  ASSERT_TRUE(FindKavrinControls(form, again));
  EXPECT_EQ(TextOf(again.feLogfile), "C:\\My Logs\\run.log");
  EXPECT_EQ(TextOf(again.feBeSweet), "\"C:\\Program Files\\BeSweet\\BeSweet.exe\"");
}

TEST_F(SettingsE2e, InvalidExecutableNameStopsTheLoadAndTheWindowStillOpens) {
  WriteIni(
      "[EXE]\r\n"
      "BeSweet=C:\\Tools[1]\\BeSweet.exe\r\n"
      "SurCode=C:\\Tools\\surcodedts.exe\r\n"
      "[LOG]\r\n"
      "Use Log=1\r\n"
      "Filename=C:\\Logs\\a.log\r\n"
      "[SETTINGS]\r\n"
      "AC3 CD=1\r\n"
      "[Azid]\r\n"
      "Options=-c light\r\n");
  ASSERT_TRUE(kavrin_.Start());
  HWND box = nullptr;
  ASSERT_TRUE(kavrin_.WaitForMessageBox("Kavrin", box, kStartBound));
  EXPECT_EQ(MessageBoxText(box), "Invalid file name - C:\\Tools[1]\\BeSweet.exe");
  EXPECT_TRUE(MessageBoxHasIcon(box)) << "an error box";
  ASSERT_TRUE(PressButton(box, "OK"));
  ASSERT_TRUE(kavrin_.WaitForNoMessageBox("Kavrin"));

  HWND form = nullptr;
  ASSERT_TRUE(kavrin_.WaitForMainWindow(form));
  ASSERT_TRUE(FindKavrinControls(form, window_));
  const KavrinWindow& w = window_;
  // Every key from the failing one on keeps the control's initial state.
  ExpectTexts({
      {"feBeSweet", w.feBeSweet, ""},
      {"feSurCode", w.feSurCode, ""},
      {"feLogfile", w.feLogfile, ""},
      {"eAzid", w.eAzid, ""},
      {"eSSRC", w.eSSRC, ""},
      {"eSSRCFixed", w.eSSRCFixed, "--rate 44100"},
  });
  ExpectChecks({
      {"cbUseLogfile", w.cbUseLogfile, false},
      {"rbDTSCD", w.rbDTSCD, false},
      {"rbAC3CD", w.rbAC3CD, false},
      {"rbCDDA", w.rbCDDA, false},
  });
  EXPECT_FALSE(IsEnabled(w.feLogfile)) << "feLogfile follows the unchecked \"Logfile\"";
  EXPECT_FALSE(IsEnabled(w.Button1));
  EXPECT_EQ(TextOf(w.dxPopupEdit1), "0 files selected");

  // Closing must not write those initial states over what the file holds;
  // the invalid key itself is stored from its field.
  ASSERT_NO_FATAL_FAILURE(CloseAndWaitForExit());
  const IniFile ini = ParseIni(ReadIni());
  for (const IniEntry& kept : std::vector<IniEntry>{{"EXE", "BeSweet", ""},
                                                    {"EXE", "SurCode", "C:\\Tools\\surcodedts.exe"},
                                                    {"LOG", "Use Log", "1"},
                                                    {"LOG", "Filename", "C:\\Logs\\a.log"},
                                                    {"SETTINGS", "AC3 CD", "1"},
                                                    {"Azid", "Options", "-c light"}}) {
    const IniEntry* found = ini.Find(kept.section, kept.key);
    ASSERT_NE(found, nullptr) << kept.section << "/" << kept.key;
    EXPECT_EQ(found->value, kept.value) << kept.section << "/" << kept.key;
  }
}

TEST_F(SettingsE2e, ReadOnlyFileKeepsTheWindowOpenUntilItCanBeWritten) {
  const std::string original = "[SSRC]\r\nOptions=--rate 48000\r\n";
  WriteIni(original);
  ASSERT_TRUE(SetReadOnly(kavrin_.IniPath(), true));
  ASSERT_NO_FATAL_FAILURE(StartAndFindWindow());
  EXPECT_EQ(TextOf(window_.eSSRC), "--rate 48000");

  kavrin_.RequestClose();
  HWND box = nullptr;
  ASSERT_TRUE(kavrin_.WaitForMessageBox("Kavrin", box));
  EXPECT_EQ(MessageBoxText(box), "Unable to write to " + kavrin_.IniPath());
  EXPECT_TRUE(MessageBoxHasIcon(box)) << "an error box";
  ASSERT_TRUE(PressButton(box, "OK"));
  ASSERT_TRUE(kavrin_.WaitForNoMessageBox("Kavrin"));
  EXPECT_FALSE(kavrin_.WaitForExit(1000ms)) << "the window must stay open";
  EXPECT_TRUE(IsWindow(window_.fKavrin) && IsShown(window_.fKavrin));
  EXPECT_EQ(ReadIni(), original);

  ASSERT_TRUE(SetReadOnly(kavrin_.IniPath(), false));
  ASSERT_NO_FATAL_FAILURE(CloseAndWaitForExit());
  ExpectKeys(ParseIni(ReadIni()), With(kFirstRunFile, {"SSRC", "Options", "--rate 48000"}));
}

TEST(HarnessPaths, UnixPathsFromCtestBecomeDriveZPaths) {
  struct Row {
    const char* given;
    const char* expected;
  };
  const Row rows[] = {
      {"/home/user/kavrin.exe", "Z:\\home\\user\\kavrin.exe"},
      {"C:\\build\\kavrin.exe", "C:\\build\\kavrin.exe"},
      {"C:/build/kavrin.exe", "C:\\build\\kavrin.exe"},
  };
  for (const Row& row : rows) EXPECT_EQ(WindowsPath(row.given), row.expected) << row.given;
}

TEST(HarnessIni, ParsesSectionsKeysAndValuesInFileOrder) {
  const IniFile ini = ParseIni("; note\r\n[EXE]\r\nBeSweet=a=b\r\nSurCode=\r\n\r\n[log]\nUse Log=1");
  EXPECT_EQ(ini.sections, (std::vector<std::string>{"EXE", "log"}));
  EXPECT_EQ(Describe(ini.entries),
            (std::vector<std::string>{"[EXE] BeSweet=a=b", "[EXE] SurCode=", "[log] Use Log=1"}));
  ASSERT_NE(ini.Find("LOG", "use log"), nullptr);
  EXPECT_EQ(ini.Find("LOG", "use log")->value, "1");
  EXPECT_EQ(ini.Find("EXE", "Missing"), nullptr);
}

}  // namespace
}  // namespace kavrin::e2e
