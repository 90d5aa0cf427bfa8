#include "batch/batch_progress.hpp"

#include <algorithm>

namespace kavrin {

BatchProgress::~BatchProgress() {
  if (taskbar_ != nullptr) taskbar_->Clear();
}

void BatchProgress::Start(const std::function<int()>& countJobs) {
  // Without a taskbar the list is not read twice.
  if (taskbar_ == nullptr) return;
  total_ = countJobs();
  Show();
}

void BatchProgress::JobDone(bool succeeded) {
  if (taskbar_ == nullptr) return;
  if (!succeeded && !failed_) {
    failed_ = true;
    taskbar_->SetError();
  }
  ++done_;
  Show();
}

void BatchProgress::Show() {
  // Streams chosen during a wait can add jobs beyond the count: the bar
  // stays full rather than running over.
  if (total_ > 0) taskbar_->SetProgress(std::min(done_, total_), total_);
}

}  // namespace kavrin
