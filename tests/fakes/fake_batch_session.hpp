#pragma once

#include <string>
#include <vector>

#include "platform/batch_session.hpp"

namespace kavrin::fakes {

// Records "TryLock", "Unlock", "KeepAwake on" and "KeepAwake off".
class FakeBatchSession final : public BatchSession {
 public:
  bool TryLock() override { return Record("TryLock") && !heldElsewhere; }
  void Unlock() override { Record("Unlock"); }
  void KeepAwake(bool on) override { Record(on ? "KeepAwake on" : "KeepAwake off"); }

  bool heldElsewhere = false;  // another instance runs a batch
  std::vector<std::string> calls;
  std::vector<std::string>* journal = nullptr;

 private:
  bool Record(const std::string& call) {
    calls.push_back(call);
    if (journal != nullptr) journal->push_back(call);
    return true;
  }
};

}  // namespace kavrin::fakes
