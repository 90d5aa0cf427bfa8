#include "model/main_model.hpp"

#include <exception>
#include <utility>

#include "platform/shutdown.hpp"

namespace kavrin {

void MainModel::Go() {
  // A press inside a running batch's wait must not start a second batch.
  if (runner_.Running()) return;
  // The batch reads the list's entries by position while it runs.
  list_.SetLocked(true);
  view_.ShowListLock(true, false);
  std::exception_ptr failure;
  std::string error;
  try {
    runner_.Run(*this);
  } catch (const std::exception& thrown) {
    failure = std::current_exception();
    error = thrown.what();
  }
  list_.SetLocked(false);
  view_.ShowListLock(false, GoEnabled());
  if (lifecycle_ == Lifecycle::CloseRequested) {
    EndAfterBatch(error);
  } else if (failure) {
    std::rethrow_exception(failure);
  }
}

void MainModel::EndAfterBatch(const std::string& error) {
  std::string text = std::exchange(finishAfterClose_, std::string());
  // Without tracks to name, what went wrong shows as any error does.
  const MainView::Box box = text.empty() ? MainView::Box::Error : MainView::Box::FinishedWithWarning;
  const auto add = [&text](const std::string& part) { text += (text.empty() ? "" : "\r\n\r\n") + part; };
  if (!error.empty()) add(error);
  // What was changed after the close is stored too.
  bool stored = true;
  try {
    view_.FormClose();
  } catch (const std::exception& failed) {
    add(failed.what());
    stored = false;
  }
  if (!text.empty()) view_.ShowBox(text, box);
  if (stored) {
    lifecycle_ = Lifecycle::Ending;
    view_.EndProgram();
  } else {
    lifecycle_ = Lifecycle::Open;
  }
}

void MainModel::Close() {
  if (lifecycle_ == Lifecycle::Ending) return;
  if (runner_.Running() && lifecycle_ != Lifecycle::FinishedBoxShown) {
    lifecycle_ = Lifecycle::CloseRequested;
    // An error box here would hold the batch, and its shutdown, until it is
    // answered: the store is tried again at the batch's end, which shows a
    // failure then.
    try {
      view_.FormClose();
    } catch (const std::exception&) {
    }
    return;
  }
  view_.FormClose();
  // A close that reaches the finished box ends the box too; nothing can
  // change while it shows, so nothing more is stored.
  if (lifecycle_ == Lifecycle::FinishedBoxShown) {
    lifecycle_ = Lifecycle::Ending;
    view_.EndProgram();
    return;
  }
  view_.DestroyForm();
}

void MainModel::ShowFinishedMessage(const std::string& text, bool warning) {
  // Closed during the batch: the program ends with it. A plain finish needs
  // no answer; the tracks that were not made are shown before it ends.
  if (lifecycle_ == Lifecycle::CloseRequested) {
    finishAfterClose_ = warning ? text : std::string();
    return;
  }
  lifecycle_ = Lifecycle::FinishedBoxShown;
  view_.ShowBox(text, warning ? MainView::Box::FinishedWithWarning : MainView::Box::Finished);
  if (lifecycle_ == Lifecycle::FinishedBoxShown) lifecycle_ = Lifecycle::Open;
}

void MainModel::ShowAnotherBatchRunning() {
  view_.ShowBox("Another Kavrin batch is running. Nothing was started; press \"Go\" again when it has finished.",
                MainView::Box::AnotherBatch);
}

void MainModel::ShutdownComputer() {
  // Closed during the batch: what was changed since the close is stored too.
  // Nothing may hold the shutdown, so a failure is not shown.
  if (lifecycle_ == Lifecycle::CloseRequested) {
    try {
      view_.FormClose();
    } catch (const std::exception&) {
    }
  }
  if (kavrin::ShutdownComputer(shutdown_)) {
    // The main loop's exit destroys the window; it does not pass the close,
    // so the settings are not stored.
    lifecycle_ = Lifecycle::Ending;
    view_.EndProgram();
  }
}

bool MainModel::InputEntryText(int index, std::string& text) {
  if (index < 0 || index >= InputEntryCount()) return false;
  text = list_.Entries()[static_cast<std::size_t>(index)].Text;
  return true;
}

bool MainModel::InputEntryStream(int index, int stream, bool& selected) {
  if (index < 0 || index >= InputEntryCount() || stream < 0 || stream >= kStreamCount) return false;
  selected = list_.Entries()[static_cast<std::size_t>(index)].File->Streams[static_cast<std::size_t>(stream)];
  return true;
}

// The list box's selection is the user's; the list follows it before acting.
void MainModel::Take(int selected) {
  list_.Select(selected >= 0 ? std::optional<std::size_t>(static_cast<std::size_t>(selected)) : std::nullopt);
}

void MainModel::ShowList() {
  for (const ListEdit& edit : MirrorEdits(shown_, list_)) view_.EditInputList(edit);
}

void MainModel::Cancel() {
  list_.Cancel();
  ShowList();
}

void MainModel::Add(const std::vector<std::string>& files, int selected) {
  Take(selected);
  if (list_.Add(files)) ShowList();
}

void MainModel::Delete(int selected) {
  Take(selected);
  if (list_.Delete()) ShowList();
}

void MainModel::MoveUp(int selected) {
  Take(selected);
  if (list_.MoveUp()) ShowList();
}

void MainModel::MoveDown(int selected) {
  Take(selected);
  if (list_.MoveDown()) ShowList();
}

void MainModel::Sort(int selected) {
  Take(selected);
  if (list_.Sort(sort_.Lookup, sort_.Order, sort_.Errors)) ShowList();
}

void MainModel::SelectLine(int selected) {
  Take(selected);
  view_.ShowStreamChoices(list_.SelectedStreamChoices());
}

void MainModel::StoreStreamChoice(int selected, int tag, bool checked) {
  Take(selected);
  list_.StoreStreamChoice(tag, checked);
}

}  // namespace kavrin
