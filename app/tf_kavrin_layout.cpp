// The layout of the main window: every control with its caption, bounds
// (96 dpi, relative to its parent) and initial state. Within each parent the
// controls are built in tab order, which is the order Tab follows.
#include "app/tf_kavrin.hpp"

namespace kavrin {

namespace {

void BuildTopLevel(TfKavrin& form, const Host& window) {
  form.Button1.Create(window, {"Go", {344, 4, 75, 25}, false});
  // Lies below the client area; shown only inside the drop-down.
  form.Panel1.Create(window, {{0, 224, 424, 289}, false});
  // Just before its field, so that screen readers take it for the field's name.
  form.Label2.Create(window, {"Input files", {8, 8, 45, 13}});
  form.dxPopupEdit1.Create(window, {"0 files selected", {64, 4, 273, 21}, &form.Panel1, &form.lbInputFiles});
  form.PageControl1.Create(window, {{8, 32, 409, 173}});
  form.PageControl1.AddSheet(form.tsFiles, "Files and folders");
  form.PageControl1.AddSheet(form.tsSettings, "Besweet Settings");
  form.PageControl1.SetActivePage(form.tsSettings);

  form.odVobFiles.title = "Open source files";
  form.odVobFiles.filter = "Sound Files (*.vob; *.ac3)|*.vob;*.ac3|All Files (*.*)|*.*";
  form.odVobFiles.filterIndex = 1;
  form.odVobFiles.defaultExt = "*.vob";
  form.odVobFiles.hideReadOnly = true;
  form.odVobFiles.allowMultiSelect = true;
  form.odVobFiles.extensionDifferent = true;
  form.odVobFiles.enableSizing = true;
}

void BuildInputPanel(TfKavrin& form) {
  const Host panel = form.Panel1.AsHost();
  form.BitBtn1.Create(panel, {TBitBtn::Kind::Ok, "", {8, 257, 73, 25}});
  form.BitBtn2.Create(panel, {TBitBtn::Kind::Cancel, "", {88, 257, 73, 25}});
  form.BitBtn3.Create(panel, {TBitBtn::Kind::Custom, "Add", {345, 8, 73, 25}});
  form.BitBtn4.Create(panel, {TBitBtn::Kind::Custom, "Delete", {345, 36, 73, 25}});
  form.BitBtn5.Create(panel, {TBitBtn::Kind::Custom, "Move up", {345, 100, 73, 25}});
  form.BitBtn6.Create(panel, {TBitBtn::Kind::Custom, "Sort", {345, 68, 73, 25}});
  form.BitBtn7.Create(panel, {TBitBtn::Kind::Custom, "Move down", {345, 128, 73, 25}});
  form.lbInputFiles.Create(panel, {{8, 8, 329, 181}});
  form.cbStreams.Create(panel, {"Audio Streams", {8, 192, 329, 61}, false});
  for (TControl* button : {&form.BitBtn1, &form.BitBtn2}) form.Panel1.Anchor(*button, TPanel::kLeft | TPanel::kBottom);
  for (TControl* button : {&form.BitBtn3, &form.BitBtn4, &form.BitBtn5, &form.BitBtn6, &form.BitBtn7}) {
    form.Panel1.Anchor(*button, TPanel::kTop | TPanel::kRight);
  }

  const Host streams = form.cbStreams.AsHost();
  struct StreamBox {
    TCheckBox& box;
    Bounds bounds;
  };
  const StreamBox boxes[kStreamCount] = {
      {form.cb80, {8, 16, 49, 17}},   {form.cb81, {96, 16, 49, 17}},  {form.cb82, {188, 16, 49, 17}},
      {form.cb83, {280, 16, 47, 17}}, {form.cb84, {8, 36, 49, 17}},   {form.cb85, {96, 36, 49, 17}},
      {form.cb86, {188, 36, 49, 17}}, {form.cb87, {280, 36, 47, 17}},
  };
  for (int tag = 0; tag < kStreamCount; ++tag) {
    boxes[tag].box.Create(streams, {StreamName(tag), boxes[tag].bounds, false, false, tag});
  }
}

void BuildFilesPage(TfKavrin& form) {
  const Host page = form.tsFiles.AsHost();
  form.Label1.Create(page, {"BeSweet", {8, 8, 43, 13}});
  form.feBeSweet.Create(page, {{136, 4, 257, 21}});
  form.Label3.Create(page, {"SurCode CD Pro DTS", {8, 32, 103, 13}});
  form.feSurCode.Create(page,
                        {{136, 28, 257, 21}, "Surcode Executable (surcodedts.exe)|surcodedts.exe|All files (*.*)|*.*"});
  form.Label4.Create(page, {"BeSweet Temp Folder", {8, 56, 105, 13}});
  form.deBeSweetOutputFolder.Create(page, {{136, 52, 257, 21}, {true, true, false}});
  form.Label5.Create(page, {"Final Output Folder", {8, 80, 89, 13}});
  form.deSurcodeOutputFolder.Create(page, {{136, 76, 257, 21}, {true, true, true}});
  // Enabled exactly while "Logfile" is checked, which it is not yet.
  form.feLogfile.Create(page, {{136, 100, 257, 21}, TFilenameEdit::kDefaultFilter, false});
  form.cbUseLogfile.Create(page, {"Logfile", {8, 104, 97, 17}});
}

void BuildSettingsPage(TfKavrin& form) {
  const Host page = form.tsSettings.AsHost();
  form.cbUseGMax.Create(page, {"Normalize", {8, 8, 97, 17}, true});
  form.rbDTSCD.Create(page, {"DTS-CD", {80, 8, 73, 17}, false, true});
  form.rbAC3CD.Create(page, {"AC3-CD", {150, 8, 65, 17}});
  form.rbCDDA.Create(page, {"CDDA", {216, 8, 65, 17}});
  form.cbShutdown.Create(page, {"Shutdown afterwards", {272, 8, 121, 17}});
  // Laid out wider, each of these would cover its right neighbour's box.
  form.cbUseGMax.FitToCaption();
  form.rbDTSCD.FitToCaption();
  form.rbCDDA.FitToCaption();

  // The two column heads keep their size: each is centred over its column.
  form.Label17.Create(page, {"Additional options", {48, 32, 161, 13}, TLabel::Alignment::Center, false});
  form.Label18.Create(page, {"Fixed options", {216, 32, 169, 13}, TLabel::Alignment::Center, false});
  form.Label6.Create(page, {"-ota(", {8, 52, 21, 13}});
  form.eOta.Create(page, {"", {48, 48, 337, 21}});
  form.Label11.Create(page, {")", {392, 52, 3, 13}});
  form.Label7.Create(page, {"-azid(", {8, 76, 25, 13}});
  form.eAzid.Create(page, {"", {48, 72, 161, 21}});
  form.Label12.Create(page, {")", {392, 76, 3, 13}});
  form.Label8.Create(page, {"-ssrc(", {8, 100, 25, 13}});
  form.eSSRC.Create(page, {"", {48, 96, 161, 21}});
  form.Label13.Create(page, {")", {392, 100, 3, 13}});
  form.Label9.Create(page, {"-boost(", {8, 124, 32, 13}});
  form.eBoost.Create(page, {"", {48, 120, 337, 21}});
  form.Label14.Create(page, {")", {392, 124, 3, 13}});
  // "Normalize" starts checked, so the fixed option starts shown.
  form.eOtaFixed.Create(page, {"-g max", {216, 72, 169, 21}, true, true});
  form.eSSRCFixed.Create(page, {"--rate 44100", {216, 96, 169, 21}, true, true});
}

}  // namespace

void TfKavrin::BuildLayout() {
  BuildTopLevel(*this, Host{hwnd_, font_.Get(), dpi_});
  BuildFilesPage(*this);
  BuildSettingsPage(*this);
}

// The drop-down's content is not on the first screen: it is built once that
// has been painted, or when something needs it first.
void TfKavrin::EnsureInputPanel() {
  if (BitBtn1.Handle() == nullptr) BuildInputPanel(*this);
}

}  // namespace kavrin
