#include "fakes/fake_process.hpp"

#include <algorithm>
#include <utility>

namespace kavrin::fakes {

namespace {

void Note(std::vector<std::string>* journal, const std::string& entry) {
  if (journal != nullptr) journal->push_back(entry);
}

class FakeChildProcess final : public ChildProcess {
 public:
  FakeChildProcess(std::shared_ptr<FakeChildRecord> state, std::vector<std::string>* journal)
      : state_(std::move(state)), journal_(journal) {}
  ~FakeChildProcess() override { CloseHandles(); }

  bool QueryExitCode(std::uint32_t& code) override {
    ++state_->queries;
    Note(journal_, "QueryExitCode");
    if (state_->script.queryFails) return false;
    code = state_->queries > state_->script.queriesWhileRunning ? state_->script.exitCode : kStillActive;
    return true;
  }

  std::uint32_t Id() const override { return state_->id; }

  bool HasEnded() override {
    ++state_->hasEndedCalls;
    return state_->Ended();
  }

  void CloseHandles() override {
    if (!state_->handlesOpen) return;
    state_->handlesOpen = false;
    ++state_->closeCalls;
    Note(journal_, "CloseHandles");
  }

 private:
  std::shared_ptr<FakeChildRecord> state_;
  std::vector<std::string>* journal_;
};

}  // namespace

std::unique_ptr<ChildProcess> FakeProcessLauncher::Start(const std::optional<std::string>& applicationName,
                                                         const std::string& commandLine,
                                                         const std::optional<std::string>& currentFolder) {
  FakeStartCall call{applicationName, commandLine, currentFolder, false};
  const int number = static_cast<int>(starts.size()) + 1;
  const bool fails =
      failStart || std::find(failStartNumbers.begin(), failStartNumbers.end(), number) != failStartNumbers.end();
  call.started = !fails;
  starts.push_back(call);
  Note(journal, std::string(fails ? "StartFailed " : "Start ") + commandLine);
  if (fails) return nullptr;

  auto state = std::make_shared<FakeChildRecord>();
  state->script = nextChild;
  state->id = 1000 + static_cast<std::uint32_t>(number);
  children.push_back(state);
  if (onStart) onStart(call);
  return std::make_unique<FakeChildProcess>(state, journal);
}

int FakeProcessLauncher::OpenChildren() const {
  return static_cast<int>(
      std::count_if(children.begin(), children.end(), [](const auto& child) { return child->handlesOpen; }));
}

}  // namespace kavrin::fakes
