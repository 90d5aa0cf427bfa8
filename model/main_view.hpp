#pragma once

#include <string>

#include "batch/job_settings.hpp"
#include "inputlist/input_list.hpp"

namespace kavrin {

// The main window as its model sees it: what the model reads from the
// controls, and what it asks of the window. The window decides nothing
// here; the model does.
class MainView {
 public:
  virtual ~MainView() = default;

  // Read when a batch starts, when each job starts and at the batch's end.
  virtual BatchMode ReadMode() = 0;
  virtual JobSettings ReadJobSettings() = 0;

  // A box with OK, which returns once it has been closed: the finished box
  // (caption "Information", with the warning icon when something went
  // wrong), an error, or the word that another batch runs.
  enum class Box { Finished, FinishedWithWarning, Error, AnotherBatch };
  virtual void ShowBox(const std::string& text, Box box) = 0;

  // Stores the settings; throws KavrinError when it cannot.
  virtual void FormClose() = 0;
  // Ends the main loop, and the program with it, without a close.
  virtual void EndProgram() = 0;
  // Destroys the window, which ends the program.
  virtual void DestroyForm() = 0;

  // The list's buttons follow the lock, "Go" its own state.
  virtual void ShowListLock(bool locked, bool goEnabled) = 0;
  // lbInputFiles follows the input list one step at a time, and "Audio
  // Streams" the selected entry.
  virtual void EditInputList(const ListEdit& edit) = 0;
  virtual void ShowStreamChoices(const StreamChoices& choices) = 0;
};

}  // namespace kavrin
