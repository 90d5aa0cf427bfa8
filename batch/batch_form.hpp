#pragma once

#include <string>

namespace kavrin {

// What a batch reads from the main window, at the moment it needs it, and
// the two ways a batch ends. Names shared with the encoder stage's form are
// the same, so the window implements each once.
class BatchForm {
 public:
  virtual ~BatchForm() = default;

  // rbDTSCD, rbAC3CD, rbCDDA.
  virtual bool DtsCdChecked() = 0;
  virtual bool Ac3CdChecked() = 0;
  virtual bool CddaChecked() = 0;

  // feBeSweet through its FileName reading.
  virtual std::string BeSweetFileName() = 0;
  // deBeSweetOutputFolder and deSurcodeOutputFolder, as typed.
  virtual std::string BeSweetTempFolderText() = 0;
  virtual std::string FinalOutputFolderText() = 0;
  // cbUseLogfile and the raw text of feLogfile.
  virtual bool UseLogfileChecked() = 0;
  virtual std::string LogfileText() = 0;

  // cbUseGMax and the raw texts of eAzid, eOta, eSSRC, eSSRCFixed, eBoost.
  virtual bool NormalizeChecked() = 0;
  virtual std::string AzidText() = 0;
  virtual std::string OtaText() = 0;
  virtual std::string SsrcText() = 0;
  virtual std::string SsrcFixedText() = 0;
  virtual std::string BoostText() = 0;

  // cbShutdown.
  virtual bool ShutdownChecked() = 0;

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
  // The shutdown afterwards; in the real program it does not return.
  virtual void ShutdownComputer() = 0;
};

}  // namespace kavrin
