// The batch behind "Go" and what it reads from the window.
#include "app/tf_kavrin.hpp"
#include "inputlist/vob_file.hpp"
#include "platform/shutdown.hpp"

namespace kavrin {

bool TfKavrin::BatchRunning() const { return runner_.Running(); }

void TfKavrin::Button1Click() {
  // A press inside a running batch's wait must not start a second batch.
  if (BatchRunning()) return;
  // The batch reads the list's entries by position while it runs.
  LockInputList(true);
  // Sent, so that an error box is shown before the end below can sweep it
  // away.
  SendMessageA(hwnd_, kRunBatch, 0, 0);
  LockInputList(false);
  // Closed during the batch: the settings are stored again, with what was
  // changed after the close, and the main loop's ordinary exit destroys the
  // window. A store that fails now shows its error and keeps the window.
  if (lifecycle_ == Lifecycle::CloseRequested) {
    if (SendMessageA(hwnd_, kStoreAfterBatch, 0, 0) != 0) {
      EndProgram(0);
    } else {
      lifecycle_ = Lifecycle::Open;
    }
  }
}

// The list refuses every change of its entries while locked; the buttons that
// would change them show it, and so does "Go", which gets its state back
// afterwards. Stream choices stay open to the user.
void TfKavrin::LockInputList(bool locked) {
  inputList_.SetLocked(locked);
  for (TBitBtn* button : {&BitBtn3, &BitBtn4, &BitBtn5, &BitBtn6, &BitBtn7}) button->SetEnabled(!locked);
  // A disabled button with the focus would leave the keyboard nowhere.
  if (locked && GetFocus() == Button1.Handle()) dxPopupEdit1.SetFocus();
  Button1.SetEnabled(!locked && inputList_.GoEnabled());
}

void TfKavrin::ShowFinishedMessage(const std::string& text, bool warning) {
  // Closed during the batch: the program ends with it. A plain finish needs
  // no answer, but the tracks that were not made are shown before it ends,
  // together with the store's error if that fails too.
  if (lifecycle_ == Lifecycle::CloseRequested) {
    finishAfterClose_ = warning ? text : std::string();
    return;
  }
  lifecycle_ = Lifecycle::FinishedBoxShown;
  MessageBoxA(hwnd_, text.c_str(), "Information", MB_OK | (warning ? MB_ICONWARNING : MB_ICONINFORMATION));
  if (lifecycle_ == Lifecycle::FinishedBoxShown) lifecycle_ = Lifecycle::Open;
}

void TfKavrin::ShowAnotherBatchRunning() {
  MessageBoxA(hwnd_, "Another Kavrin batch is running. Nothing was started; press \"Go\" again when it has finished.",
              "Kavrin", MB_OK | MB_ICONWARNING);
}

void TfKavrin::ShutdownComputer() {
  // Closed during the batch: what was changed since the close is stored too.
  // Nothing may hold the shutdown, so a failure is not shown.
  if (lifecycle_ == Lifecycle::CloseRequested) {
    try {
      FormClose();
    } catch (const std::exception&) {
    }
  }
  if (kavrin::ShutdownComputer(services_.shutdown)) {
    // Through the main loop's exit, which destroys the window; it does not
    // pass the close, so the settings are not stored.
    lifecycle_ = Lifecycle::Ending;
    EndProgram(0);
  }
}

BatchMode TfKavrin::ReadMode() { return FirstCheckedMode(rbDTSCD.Checked(), rbAC3CD.Checked(), rbCDDA.Checked()); }

JobSettings TfKavrin::ReadJobSettings() {
  JobSettings settings;
  settings.BeSweetPath = feBeSweet.FileName();
  settings.SurCodePath = feSurCode.FileName();
  settings.TempFolderText = deBeSweetOutputFolder.Text();
  settings.FinalFolderText = deSurcodeOutputFolder.Text();
  settings.UseLogfile = cbUseLogfile.Checked();
  settings.LogfileText = feLogfile.Text();
  settings.Normalize = cbUseGMax.Checked();
  settings.Azid = eAzid.Text();
  settings.Ota = eOta.Text();
  settings.Ssrc = eSSRC.Text();
  settings.SsrcFixed = eSSRCFixed.Text();
  settings.Boost = eBoost.Text();
  settings.Shutdown = cbShutdown.Checked();
  return settings;
}

int TfKavrin::InputEntryCount() { return lbInputFiles.Count(); }

bool TfKavrin::InputEntryText(int index, std::string& text) {
  if (index < 0 || index >= lbInputFiles.Count()) return false;
  text = lbInputFiles.Line(index);
  return true;
}

bool TfKavrin::InputEntryStream(int index, int stream, bool& selected) {
  if (index < 0 || index >= lbInputFiles.Count() || stream < 0 || stream >= kStreamCount) return false;
  const auto* file = static_cast<const TVobFile*>(lbInputFiles.Object(index));
  selected = file != nullptr && file->Streams[static_cast<std::size_t>(stream)];
  return true;
}

}  // namespace kavrin
