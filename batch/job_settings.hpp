#pragma once

#include <string>

namespace kavrin {

enum class BatchMode { None, DtsCd, Ac3Cd, Cdda };

// The first checked of rbDTSCD, rbAC3CD, rbCDDA; None when none is.
constexpr BatchMode FirstCheckedMode(bool dtsCd, bool ac3Cd, bool cdda) {
  if (dtsCd) return BatchMode::DtsCd;
  if (ac3Cd) return BatchMode::Ac3Cd;
  if (cdda) return BatchMode::Cdda;
  return BatchMode::None;
}

// The window's settings as a batch reads them, all at one moment: when a job
// starts, and once more at the batch's end for the log and the shutdown. The
// texts are as the fields hold them; the batch trims and unquotes them.
struct JobSettings {
  std::string BeSweetPath;      // feBeSweet through its FileName reading
  std::string SurCodePath;      // feSurCode through its FileName reading
  std::string TempFolderText;   // deBeSweetOutputFolder
  std::string FinalFolderText;  // deSurcodeOutputFolder
  bool UseLogfile = false;      // cbUseLogfile
  std::string LogfileText;      // feLogfile
  bool Normalize = false;       // cbUseGMax
  std::string Azid;             // eAzid
  std::string Ota;              // eOta
  std::string Ssrc;             // eSSRC
  std::string SsrcFixed;        // eSSRCFixed
  std::string Boost;            // eBoost
  bool Shutdown = false;        // cbShutdown
};

}  // namespace kavrin
