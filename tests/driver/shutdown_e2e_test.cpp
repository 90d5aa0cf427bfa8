// The shutdown afterwards ends every process of the Wine session, this driver
// included, so this test cannot judge its own outcome. It runs only inside
// tests/shutdown/run_shutdown_test.sh, which gives it a session of its own,
// prepares the folder named by KAVRIN_SHUTDOWN_DIR and judges from outside
// what the driver wrote to its record before it died.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "harness.hpp"
#include "kavrin_window.hpp"

namespace kavrin::e2e {
namespace {

using namespace std::chrono_literals;

// Long enough for a start-up, the Add dialog and one transcoder run on a
// loaded machine; the script's own bound is longer still.
constexpr auto kKilledBound = 180s;

std::string EnvironmentText(const char* name) {
  const DWORD needed = GetEnvironmentVariableA(name, nullptr, 0);
  if (needed == 0) return std::string();
  std::string value(needed, '\0');
  value.resize(GetEnvironmentVariableA(name, value.data(), needed));
  return value;
}

// One line per event, each written through at once: the process may be
// killed at any moment.
class Record {
 public:
  explicit Record(std::string path) : path_(std::move(path)) {}
  void Line(const std::string& text) const {
    UniqueHandle file(CreateFileA(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    const std::string bytes = text + "\r\n";
    DWORD written = 0;
    WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    FlushFileBuffers(file.Get());
  }

 private:
  std::string path_;
};

using ShutdownE2e = KavrinTest;

TEST_F(ShutdownE2e, BatchWithShutdownAfterwardsEndsTheSession) {
  const std::string unixDir = EnvironmentText("KAVRIN_SHUTDOWN_DIR");
  if (unixDir.empty()) GTEST_SKIP() << "run by tests/shutdown/run_shutdown_test.sh in a Wine prefix of its own";
  const std::string dir = WindowsPath(unixDir);
  const Record record(dir + "\\driver.txt");

  // The script's settings file, byte for byte, where this kavrin.exe reads it.
  const std::string ini = ReadFileBytes(dir + "\\Kavrin.ini");
  ASSERT_FALSE(ini.empty()) << "no Kavrin.ini in " << dir;
  ASSERT_NO_FATAL_FAILURE(WriteIni(ini));
  record.Line("kavrin folder: " + folder_.Path());
  SetEnvironmentVariableA("KAVRIN_STANDIN_RECORD", (dir + "\\besweet.txt").c_str());

  ASSERT_NO_FATAL_FAILURE(StartAndFindWindow());
  record.Line("main window shown");
  ASSERT_TRUE(IsChecked(window_.cbShutdown)) << "the settings file must check \"Shutdown afterwards\"";

  ASSERT_NO_FATAL_FAILURE(AddInputFiles({dir + "\\input.ac3"}));
  record.Line("input added");
  // A store on the way out would write this into Kavrin.ini.
  ASSERT_TRUE(SetText(window_.eBoost, "changed before Go"));
  Click(window_.Button1);
  record.Line("Go pressed");

  bool kavrinEnded = false;
  std::vector<HWND> boxesSeen;
  const ::testing::AssertionResult outcome = WaitFor(
      [&] {
        for (HWND window : TopLevelWindows(kavrin_.Id())) {
          if (ClassOf(window) != "#32770" || !IsShown(window)) continue;
          bool seen = false;
          for (HWND box : boxesSeen) seen = seen || box == window;
          if (seen) continue;
          boxesSeen.push_back(window);
          record.Line("message box \"" + TextOf(window) + "\": " + MessageBoxText(window));
        }
        if (!kavrinEnded && !kavrin_.Running()) {
          kavrinEnded = true;
          record.Line("kavrin ended with exit code " + std::to_string(kavrin_.ExitCode()));
        }
        return false;
      },
      kKilledBound, "the shutdown to end this driver");
  record.Line("driver still alive after " + std::to_string(kKilledBound.count()) + " s");
  ADD_FAILURE() << outcome.message();
}

}  // namespace
}  // namespace kavrin::e2e
