#pragma once

#include <functional>
#include <optional>
#include <string>

#include "batch/batch_form.hpp"
#include "platform/taskbar_progress.hpp"

namespace kavrin {

// One job of a batch: an entry, and for a ".vob" entry one selected stream.
struct JobSpot {
  int Entry;
  std::string Path;
  std::optional<int> Stream;
};

// Calls `job` for each job of the list: one for every entry that is not a
// ".vob" file, one for each selected stream of a ".vob" entry. The entry
// count is taken at the start; each entry and stream is read just before its
// job, so a choice made during an earlier job counts. The walk ends where the
// list no longer has a position.
void ForEachJob(BatchForm& form, const std::function<void(const JobSpot&)>& job);

// The jobs a batch would run over the list as it stands.
int CountJobs(BatchForm& form);

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

  void Start(BatchForm& form);
  void JobDone(bool succeeded);

 private:
  void Show();

  TaskbarProgress* taskbar_;
  int done_ = 0;
  int total_ = 0;
  bool failed_ = false;
};

}  // namespace kavrin
