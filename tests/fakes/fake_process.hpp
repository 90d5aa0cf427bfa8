#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/process.hpp"

namespace kavrin::fakes {

// How a started fake child behaves.
struct FakeChildScript {
  // Exit-code queries answered with 259 (and HasEnded false) before it ends.
  int queriesWhileRunning = 0;
  // The code reported once it has ended; 259 plays a child that really exits so.
  std::uint32_t exitCode = 0;
  // Every exit-code query fails and leaves the caller's code untouched.
  bool queryFails = false;
  // HasEnded never answers true (a handle that cannot be waited on).
  bool neverSignalled = false;
};

// What became of one started child; shared so that tests can look after the
// owner has let it go.
struct FakeChildRecord {
  FakeChildScript script;
  std::uint32_t id = 0;  // 1000 and the start's number
  int queries = 0;
  int hasEndedCalls = 0;
  int closeCalls = 0;
  bool handlesOpen = true;
  bool Ended() const { return !script.neverSignalled && queries > script.queriesWhileRunning; }
};

struct FakeStartCall {
  std::optional<std::string> applicationName;
  std::string commandLine;
  std::optional<std::string> currentFolder;
  bool started = false;
};

class FakeProcessLauncher final : public ProcessLauncher {
 public:
  std::unique_ptr<ChildProcess> Start(const std::optional<std::string>& applicationName, const std::string& commandLine,
                                      const std::optional<std::string>& currentFolder) override;

  // Every start fails.
  bool failStart = false;
  // Starts with these numbers (counted from 1, failed ones included) fail.
  std::vector<int> failStartNumbers;
  // The script each started child gets.
  FakeChildScript nextChild;
  // Runs after a successful start, e.g. to leave the files a real run would.
  std::function<void(const FakeStartCall&)> onStart;
  // When set, every start and every child call is noted here, in order.
  std::vector<std::string>* journal = nullptr;

  std::vector<FakeStartCall> starts;                       // every call, failed ones included
  std::vector<std::shared_ptr<FakeChildRecord>> children;  // started ones only

  // Children whose handles are still open.
  int OpenChildren() const;
};

}  // namespace kavrin::fakes
