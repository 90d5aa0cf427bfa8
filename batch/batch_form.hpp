#pragma once

#include <string>

#include "batch/job_settings.hpp"

namespace kavrin {

// What a batch reads from the main window, and the two ways a batch ends.
// The settings come as one snapshot, read at the moment the batch needs them.
class BatchForm {
 public:
  virtual ~BatchForm() = default;

  // Read once, when the batch starts.
  virtual BatchMode ReadMode() = 0;
  // Read when each job starts, and at the batch's end.
  virtual JobSettings ReadJobSettings() = 0;

  // The entries of lbInputFiles. The two readers answer false when the
  // position no longer exists.
  virtual int InputEntryCount() = 0;
  virtual bool InputEntryText(int index, std::string& text) = 0;
  virtual bool InputEntryStream(int index, int stream, bool& selected) = 0;

  // The information box (caption "Information", OK) with `text`, which
  // begins with "Encoding Finished!"; the warning icon when some tracks were
  // not made. Returns when the user has closed it.
  virtual void ShowFinishedMessage(const std::string& text, bool warning) = 0;
  // Another instance of the program runs a batch: this one runs nothing.
  virtual void ShowAnotherBatchRunning() = 0;
  // The shutdown afterwards; the program ends after it.
  virtual void ShutdownComputer() = 0;
};

}  // namespace kavrin
