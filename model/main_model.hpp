#pragma once

#include <optional>
#include <string>
#include <vector>

#include "batch/batch_form.hpp"
#include "batch/batch_run.hpp"
#include "inputlist/input_list.hpp"
#include "model/main_view.hpp"
#include "platform/file_system.hpp"
#include "platform/shutdown_api.hpp"
#include "platform/text_services.hpp"

namespace kavrin {

// What the list's "Sort" needs of the system.
struct SortServices {
  FileLookup& Lookup;
  Collation& Order;
  ErrorTexts& Errors;
};

// The main window's decisions, apart from the window: the program's
// lifecycle, what "Go", a close, the finished box and the shutdown do in
// each state, the batch and the lock of the input list it holds, and the
// list itself, which lbInputFiles mirrors. The window's handlers call it in
// one line each; it asks the window through MainView.
class MainModel final : private BatchForm {
 public:
  MainModel(MainView& view, const BatchServices& batch, const SortServices& sort, ShutdownApi& shutdown)
      : view_(view), runner_(batch), sort_(sort), shutdown_(shutdown) {}

  // "Go": runs a batch to its end, unless one runs. An error of the batch
  // ends the caller's handler, unless the window was closed meanwhile: then
  // it is shown in the last box before the program ends.
  void Go();
  // The window's close. During a batch the settings are stored at once and
  // again at its end, when the program ends; at the finished box the box
  // ends too; otherwise a stored close destroys the window. A store that
  // fails ends the caller's handler and keeps the window.
  void Close();
  // The session ends: a running batch puts the encoder's options back now.
  void EndSession() { runner_.EndSession(); }

  bool BatchRunning() const { return runner_.Running(); }
  bool GoEnabled() const { return list_.GoEnabled() && !runner_.Running(); }
  bool ListLocked() const { return list_.Locked(); }
  std::string SummaryText() const { return list_.SummaryText(); }

  // The list's operations, each with the line the user has selected (-1
  // for none); the window follows every change.
  void InitPopup() { list_.InitPopup(); }
  void Cancel();
  void Add(const std::vector<std::string>& files, int selected);
  void Delete(int selected);
  void MoveUp(int selected);
  void MoveDown(int selected);
  void Sort(int selected);
  void SelectLine(int selected);
  void StoreStreamChoice(int selected, int tag, bool checked);

 private:
  enum class Lifecycle {
    Open,
    // The batch's "Encoding Finished!" box is up; a close ends it too.
    FinishedBoxShown,
    // Closed while a batch ran: the settings are stored then and again at
    // the batch's end, when the program ends.
    CloseRequested,
    // On the way out (the shutdown, a close at the finished box): nothing
    // more is stored.
    Ending,
  };

  // BatchForm: what the batch reads and how it ends.
  BatchMode ReadMode() override { return view_.ReadMode(); }
  JobSettings ReadJobSettings() override { return view_.ReadJobSettings(); }
  int InputEntryCount() override { return static_cast<int>(list_.Entries().size()); }
  bool InputEntryText(int index, std::string& text) override;
  bool InputEntryStream(int index, int stream, bool& selected) override;
  void ShowFinishedMessage(const std::string& text, bool warning) override;
  void ShowAnotherBatchRunning() override;
  void ShutdownComputer() override;

  // After a batch the window was closed during: the settings stored once
  // more, and one box with what the user must still see; the program ends
  // unless the store failed.
  void EndAfterBatch(const std::string& error);
  void Take(int selected);
  void ShowList();

  MainView& view_;
  BatchRunner runner_;
  SortServices sort_;
  ShutdownApi& shutdown_;
  Lifecycle lifecycle_ = Lifecycle::Open;
  // The finished box of a batch closed meanwhile, when it names tracks.
  std::string finishAfterClose_;
  InputList list_;
  // The records lbInputFiles shows, line by line.
  std::vector<const TVobFile*> shown_;
};

}  // namespace kavrin
