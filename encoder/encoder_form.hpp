#pragma once

#include <string>

namespace kavrin {

// What the encoder stage reads from the main window when a job runs; the
// folders come with the job. The names match the batch's form so that the
// window implements each once.
class EncoderForm {
 public:
  virtual ~EncoderForm() = default;

  // feSurCode through its FileName reading.
  virtual std::string SurCodeFileName() = 0;
  // cbUseLogfile and the raw text of feLogfile.
  virtual bool UseLogfileChecked() = 0;
  virtual std::string LogfileText() = 0;
};

}  // namespace kavrin
