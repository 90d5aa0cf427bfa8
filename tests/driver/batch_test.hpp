#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "harness.hpp"
#include "kavrin_window.hpp"

namespace kavrin::e2e {

// Every job waits at least a second, and the machine may be busy.
inline constexpr std::chrono::milliseconds kBatchBound{90000};
inline constexpr std::chrono::milliseconds kRunStartBound{30000};

// One line of the stand-in transcoder's record: "<folder>|<flags>|<show>|<command line>".
struct StandInRun {
  std::string folder;
  std::string flags;
  std::string show;
  std::string commandLine;
};
std::vector<StandInRun> ReadRuns(const std::string& record);
std::vector<std::string> CommandLines(const std::vector<StandInRun>& runs);

std::string Quoted(const std::string& text);

// What a batch test starts with; Kavrin.ini is written from it.
struct BatchSettings {
  std::string mode = "AC3 CD";  // the one mode key set to 1; "" for none
  std::string beSweet;          // the test's stand-in unless set
  bool useLog = false;
  std::string logFile;
  bool normalize = true;
  std::string azid = "-c normal -L -3db";
  std::string ota;
  std::string ssrc;
  std::string boost;
};

// A test folder with a copy of the stand-in transcoder, an output and a
// temporary folder, and the stand-in's record file named in the environment
// that kavrin.exe hands on to it. The stand-in's knobs are set in the
// environment before Start, which kavrin.exe inherits.
class BatchTest : public KavrinTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::string Out() const { return folder_.File("out"); }
  std::string Temp() const { return folder_.File("temp"); }
  std::string Record() const { return folder_.File("record.txt"); }
  std::string Input(const std::string& name) const { return folder_.File(name); }
  const std::string& StandIn() const { return standIn_; }
  // The stand-in's quoted path, a blank and the argument text.
  std::string Line(const std::string& arguments) const { return Quoted(standIn_) + " " + arguments; }

  void Start(const BatchSettings& settings);
  // Input files with a little content each, added through "Add".
  void AddInputs(const std::vector<std::string>& names);
  // With the drop-down open: the stream boxes of entry `index` set to `streams` (0 for 0x80).
  void ChooseStreams(int index, const std::vector<int>& streams);
  // "Go", then the information box with `text`, which is closed.
  void RunBatch(const std::string& text = "Encoding Finished!");
  void ExpectFinishedAndClose(const std::string& text = "Encoding Finished!");
  // Until the `count`th run of the stand-in has begun.
  void WaitForRuns(size_t count);

 private:
  std::string standIn_;
};

}  // namespace kavrin::e2e
