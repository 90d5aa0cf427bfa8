// The layout of the main window: every control with its caption, bounds
// (96 dpi, relative to its parent) and initial state. Within each parent the
// controls are built in tab order, which is the order Tab follows.
#include "app/tf_kavrin.hpp"

namespace kavrin {

void TfKavrin::BuildTopLevel() {
  const Host window{hwnd_, font_.Get(), dpi_};
  Button1.Create(window, {"Go", {344, 4, 75, 25}, false});
  // Lies below the client area; shown only inside the drop-down.
  Panel1.Create(window, {{0, 224, 424, 289}, false});
  // Just before its field, so that screen readers take it for the field's name.
  Label2.Create(window, {"Input files", {8, 8, 45, 13}});
  dxPopupEdit1.Create(window, {"0 files selected", {64, 4, 273, 21}, &Panel1, &lbInputFiles});
  PageControl1.Create(window, {{8, 32, 409, 173}});
  PageControl1.AddSheet(tsFiles, "Files and folders");
  PageControl1.AddSheet(tsSettings, "Besweet Settings");
  PageControl1.SetActivePage(tsSettings);

  odVobFiles.title = "Open source files";
  odVobFiles.filter = "Sound Files (*.vob; *.ac3)|*.vob;*.ac3|All Files (*.*)|*.*";
  odVobFiles.filterIndex = 1;
  odVobFiles.defaultExt = "*.vob";
  odVobFiles.hideReadOnly = true;
  odVobFiles.allowMultiSelect = true;
  odVobFiles.extensionDifferent = true;
  odVobFiles.enableSizing = true;
}

void TfKavrin::BuildInputPanel() {
  const Host panel = Panel1.AsHost();
  BitBtn1.Create(panel, {TBitBtn::Kind::Ok, "", {8, 257, 73, 25}});
  BitBtn2.Create(panel, {TBitBtn::Kind::Cancel, "", {88, 257, 73, 25}});
  BitBtn3.Create(panel, {TBitBtn::Kind::Custom, "Add", {345, 8, 73, 25}});
  BitBtn4.Create(panel, {TBitBtn::Kind::Custom, "Delete", {345, 36, 73, 25}});
  BitBtn5.Create(panel, {TBitBtn::Kind::Custom, "Move up", {345, 100, 73, 25}});
  BitBtn6.Create(panel, {TBitBtn::Kind::Custom, "Sort", {345, 68, 73, 25}});
  BitBtn7.Create(panel, {TBitBtn::Kind::Custom, "Move down", {345, 128, 73, 25}});
  lbInputFiles.Create(panel, {{8, 8, 329, 181}});
  cbStreams.Create(panel, {"Audio Streams", {8, 192, 329, 61}, false});
  for (TControl* button : {&BitBtn1, &BitBtn2}) Panel1.Anchor(*button, TPanel::kLeft | TPanel::kBottom);
  for (TControl* button : {&BitBtn3, &BitBtn4, &BitBtn5, &BitBtn6, &BitBtn7}) {
    Panel1.Anchor(*button, TPanel::kTop | TPanel::kRight);
  }

  const Host streams = cbStreams.AsHost();
  struct StreamBox {
    TCheckBox& box;
    Bounds bounds;
  };
  const StreamBox boxes[kStreamCount] = {
      {cb80, {8, 16, 49, 17}}, {cb81, {96, 16, 49, 17}}, {cb82, {188, 16, 49, 17}}, {cb83, {280, 16, 47, 17}},
      {cb84, {8, 36, 49, 17}}, {cb85, {96, 36, 49, 17}}, {cb86, {188, 36, 49, 17}}, {cb87, {280, 36, 47, 17}},
  };
  for (int tag = 0; tag < kStreamCount; ++tag) {
    boxes[tag].box.Create(streams, {StreamName(tag), boxes[tag].bounds, false, false, tag});
  }
}

void TfKavrin::BuildFilesPage() {
  const Host page = tsFiles.AsHost();
  Label1.Create(page, {"BeSweet", {8, 8, 43, 13}});
  feBeSweet.Create(page, {{136, 4, 257, 21}});
  Label3.Create(page, {"SurCode CD Pro DTS", {8, 32, 103, 13}});
  feSurCode.Create(page,
                   {{136, 28, 257, 21}, "Surcode Executable (surcodedts.exe)|surcodedts.exe|All files (*.*)|*.*"});
  Label4.Create(page, {"BeSweet Temp Folder", {8, 56, 105, 13}});
  deBeSweetOutputFolder.Create(page, {{136, 52, 257, 21}, {true, true, false}});
  Label5.Create(page, {"Final Output Folder", {8, 80, 89, 13}});
  deSurcodeOutputFolder.Create(page, {{136, 76, 257, 21}, {true, true, true}});
  // Enabled exactly while "Logfile" is checked, which it is not yet.
  feLogfile.Create(page, {{136, 100, 257, 21}, TFilenameEdit::kDefaultFilter, false});
  cbUseLogfile.Create(page, {"Logfile", {8, 104, 97, 17}});
}

void TfKavrin::BuildSettingsPage() {
  const Host page = tsSettings.AsHost();
  cbUseGMax.Create(page, {"Normalize", {8, 8, 97, 17}, true});
  rbDTSCD.Create(page, {"DTS-CD", {80, 8, 73, 17}, false, true});
  rbAC3CD.Create(page, {"AC3-CD", {150, 8, 65, 17}});
  rbCDDA.Create(page, {"CDDA", {216, 8, 65, 17}});
  cbShutdown.Create(page, {"Shutdown afterwards", {272, 8, 121, 17}});
  // The upper row overlaps; the later control of each pair stays on top.
  GiveWayTo(cbUseGMax, rbDTSCD);
  GiveWayTo(rbDTSCD, rbAC3CD);
  GiveWayTo(rbCDDA, cbShutdown);

  // The two column heads keep their size: each is centred over its column.
  Label17.Create(page, {"Additional options", {48, 32, 161, 13}, TLabel::Alignment::Center, false});
  Label18.Create(page, {"Fixed options", {216, 32, 169, 13}, TLabel::Alignment::Center, false});
  Label6.Create(page, {"-ota(", {8, 52, 21, 13}});
  eOta.Create(page, {"", {48, 48, 337, 21}});
  Label11.Create(page, {")", {392, 52, 3, 13}});
  Label7.Create(page, {"-azid(", {8, 76, 25, 13}});
  eAzid.Create(page, {"", {48, 72, 161, 21}});
  Label12.Create(page, {")", {392, 76, 3, 13}});
  Label8.Create(page, {"-ssrc(", {8, 100, 25, 13}});
  eSSRC.Create(page, {"", {48, 96, 161, 21}});
  Label13.Create(page, {")", {392, 100, 3, 13}});
  Label9.Create(page, {"-boost(", {8, 124, 32, 13}});
  eBoost.Create(page, {"", {48, 120, 337, 21}});
  Label14.Create(page, {")", {392, 124, 3, 13}});
  // "Normalize" starts checked, so the fixed option starts shown.
  eOtaFixed.Create(page, {"-g max", {216, 72, 169, 21}, true, true});
  eSSRCFixed.Create(page, {"--rate 44100", {216, 96, 169, 21}, true, true});
}

}  // namespace kavrin
