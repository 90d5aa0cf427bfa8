#include "fakes/fake_taskbar_progress.hpp"

namespace kavrin::fakes {

void FakeTaskbarProgress::SetProgress(int done, int total) {
  Record("Progress " + std::to_string(done) + "/" + std::to_string(total));
}

void FakeTaskbarProgress::SetError() { Record("Error"); }

void FakeTaskbarProgress::Clear() { Record("Clear"); }

void FakeTaskbarProgress::Record(const std::string& call) {
  calls.push_back(call);
  if (journal != nullptr) journal->push_back("Taskbar " + call);
}

}  // namespace kavrin::fakes
