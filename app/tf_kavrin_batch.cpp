// What the model reads from the window and asks of it, and "Go".
#include "app/tf_kavrin.hpp"

namespace kavrin {

void TfKavrin::Button1Click() { model_.Go(); }

BatchMode TfKavrin::ReadMode() { return FirstCheckedMode(rbDTSCD.Checked(), rbAC3CD.Checked(), rbCDDA.Checked()); }

void TfKavrin::ShowBox(const std::string& text, Box box) {
  switch (box) {
    case Box::Finished:
      MessageBoxA(hwnd_, text.c_str(), "Information", MB_OK | MB_ICONINFORMATION);
      break;
    case Box::FinishedWithWarning:
      MessageBoxA(hwnd_, text.c_str(), "Information", MB_OK | MB_ICONWARNING);
      break;
    case Box::Error:
      MessageBoxA(hwnd_, text.c_str(), "Kavrin", MB_OK | MB_ICONERROR);
      break;
    case Box::AnotherBatch:
      MessageBoxA(hwnd_, text.c_str(), "Kavrin", MB_OK | MB_ICONWARNING);
      break;
  }
}

// The list refuses every change of its entries while locked; the buttons that
// would change them show it. Stream choices stay open to the user.
void TfKavrin::ShowListLock(bool locked, bool goEnabled) {
  for (TBitBtn* button : {&BitBtn3, &BitBtn4, &BitBtn5, &BitBtn6, &BitBtn7}) button->SetEnabled(!locked);
  // A disabled button with the focus would leave the keyboard nowhere.
  if (locked && GetFocus() == Button1.Handle()) dxPopupEdit1.SetFocus();
  Button1.SetEnabled(goEnabled);
}

void TfKavrin::EditInputList(const ListEdit& edit) {
  switch (edit.Step) {
    case ListEdit::Kind::Delete:
      lbInputFiles.Delete(edit.Line);
      break;
    case ListEdit::Kind::Move:
      lbInputFiles.Move(edit.Line, edit.To);
      break;
    case ListEdit::Kind::Insert:
      lbInputFiles.Insert(edit.Line, edit.Text, edit.Record);
      break;
    case ListEdit::Kind::Select:
      lbInputFiles.SetItemIndex(edit.Line);
      break;
  }
}

void TfKavrin::ShowStreamChoices(const StreamChoices& choices) {
  cbStreams.SetEnabled(choices.Enabled);
  TCheckBox* const boxes[] = {&cb80, &cb81, &cb82, &cb83, &cb84, &cb85, &cb86, &cb87};
  for (std::size_t k = 0; k < std::size(boxes); ++k) {
    boxes[k]->SetEnabled(choices.Enabled);
    boxes[k]->SetChecked(choices.Checked[k]);
  }
}

}  // namespace kavrin
