#pragma once

#include <functional>

#include "platform/taskbar_progress.hpp"

namespace kavrin {

// A batch's progress on the taskbar: jobs done of the jobs counted at its
// start, the error state from the first job that failed (its program did not
// start, or the encoder stage skipped it), and nothing shown once the batch
// is over, however it ends. Without a taskbar it does nothing.
class BatchProgress {
 public:
  explicit BatchProgress(TaskbarProgress* taskbar) : taskbar_(taskbar) {}
  ~BatchProgress();
  BatchProgress(const BatchProgress&) = delete;
  BatchProgress& operator=(const BatchProgress&) = delete;

  // Only the taskbar needs the count: without one, `countJobs` is not called.
  void Start(const std::function<int()>& countJobs);
  void JobDone(bool succeeded);

 private:
  void Show();

  TaskbarProgress* taskbar_;
  int done_ = 0;
  int total_ = 0;
  bool failed_ = false;
};

}  // namespace kavrin
