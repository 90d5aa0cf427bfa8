#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch/batch_run.hpp"
#include "fakes/fake_batch_form.hpp"
#include "fakes/fake_clock.hpp"
#include "fakes/fake_file_lookup.hpp"
#include "fakes/fake_file_store.hpp"
#include "fakes/fake_process.hpp"
#include "fakes/fake_taskbar_progress.hpp"
#include "support/stream_samples.hpp"

namespace kavrin::support {

// A batch runner over the fakes, every one of them noting its calls in one
// journal. With `withTaskbar` the runner shows its progress on `taskbar_`.
class BatchFixture : public ::testing::Test {
 protected:
  using Lines = std::vector<std::string>;

  explicit BatchFixture(bool withTaskbar = false)
      : runner_(BatchServices{launcher_, lookup_, files_, clock_, pump_, encoder_, withTaskbar ? &taskbar_ : nullptr}) {
    launcher_.journal = &journal_;
    encoder_.journal = &journal_;
    form_.journal = &journal_;
    files_.journal = &journal_;
    clock_.journal = &journal_;
    pump_.journal = &journal_;
    taskbar_.journal = &journal_;
  }

  // Every successful run leaves its "-output" file, as BeSweet would.
  void TranscoderWritesItsOutput() {
    launcher_.onStart = [this](const fakes::FakeStartCall& call) { WriteOutput(call); };
  }
  void WriteOutput(const fakes::FakeStartCall& call) {
    const std::string marker = "-output \"";
    const size_t from = call.commandLine.find(marker) + marker.size();
    const bool ac3 = call.commandLine.find(" -ddwav ") != std::string::npos;
    LeaveTrack(call.commandLine.substr(from, call.commandLine.find('"', from) - from),
               ac3 ? samples::Stream::Ac3 : samples::Stream::Pcm);
  }

  // A track where a job put it, as the programs write it.
  void LeaveTrack(const std::string& path, samples::Stream stream) {
    lookup_.AddEntry(path);
    files_.files[path] = samples::SampleTrack(stream);
  }

  Lines CommandLines() const {
    Lines lines;
    for (const auto& start : launcher_.starts) lines.push_back(start.commandLine);
    return lines;
  }

  Lines journal_;
  fakes::FakeProcessLauncher launcher_;
  fakes::FakeFileLookup lookup_;
  fakes::FakeFileStore files_;
  fakes::FakeClock clock_;
  fakes::FakeMessagePump pump_;
  fakes::FakeEncoderStage encoder_;
  fakes::FakeBatchForm form_;
  fakes::FakeTaskbarProgress taskbar_;
  BatchRunner runner_;
};

}  // namespace kavrin::support
