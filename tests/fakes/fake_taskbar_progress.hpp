#pragma once

#include <string>
#include <vector>

#include "platform/taskbar_progress.hpp"

namespace kavrin::fakes {

// Records each call as one line: "Progress 1/3", "Error", "Clear".
class FakeTaskbarProgress final : public TaskbarProgress {
 public:
  void SetProgress(int done, int total) override;
  void SetError() override;
  void Clear() override;

  std::vector<std::string> calls;
  std::vector<std::string>* journal = nullptr;

 private:
  void Record(const std::string& call);
};

}  // namespace kavrin::fakes
