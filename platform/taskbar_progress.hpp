#pragma once

namespace kavrin {

// The progress a long batch shows on the window's taskbar button. Every call
// may do nothing (no taskbar, no support for it); none of them fails.
class TaskbarProgress {
 public:
  virtual ~TaskbarProgress() = default;

  // `done` of `total` jobs, in the normal state unless SetError came first.
  virtual void SetProgress(int done, int total) = 0;
  // The error state, kept by later progress values until Clear.
  virtual void SetError() = 0;
  // No progress shown any more.
  virtual void Clear() = 0;
};

}  // namespace kavrin
