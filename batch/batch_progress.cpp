#include "batch/batch_progress.hpp"

#include <algorithm>
#include <string>

#include "inputlist/vob_file.hpp"

namespace kavrin {

void ForEachJob(BatchForm& form, const std::function<void(const JobSpot&)>& job) {
  const int entryCount = form.InputEntryCount();
  for (int entry = 0; entry < entryCount; ++entry) {
    std::string path;
    if (!form.InputEntryText(entry, path)) return;
    if (!IsVobFile(path)) {
      job({entry, path, std::nullopt});
      continue;
    }
    for (int stream = 0; stream < kStreamCount; ++stream) {
      bool selected = false;
      if (!form.InputEntryStream(entry, stream, selected)) return;
      if (selected) job({entry, path, stream});
    }
  }
}

int CountJobs(BatchForm& form) {
  int jobs = 0;
  ForEachJob(form, [&jobs](const JobSpot&) { ++jobs; });
  return jobs;
}

BatchProgress::~BatchProgress() {
  if (taskbar_ != nullptr) taskbar_->Clear();
}

void BatchProgress::Start(BatchForm& form) {
  // Only the taskbar needs the count; without one the list is not read twice.
  if (taskbar_ == nullptr) return;
  total_ = CountJobs(form);
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
