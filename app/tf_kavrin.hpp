#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "app/app_services.hpp"
#include "app/widgets/accessible_names.hpp"
#include "app/widgets/base_window.hpp"
#include "app/widgets/button.hpp"
#include "app/widgets/check_box.hpp"
#include "app/widgets/edit.hpp"
#include "app/widgets/filename_edit.hpp"
#include "app/widgets/group_box.hpp"
#include "app/widgets/label.hpp"
#include "app/widgets/open_dialog.hpp"
#include "app/widgets/page_control.hpp"
#include "app/widgets/panel.hpp"
#include "app/widgets/popup_edit.hpp"
#include "app/widgets/radio_button.hpp"
#include "app/widgets/text_list_box.hpp"
#include "batch/batch_form.hpp"
#include "batch/batch_run.hpp"
#include "encoder/encoder_automation.hpp"
#include "inputlist/input_list.hpp"
#include "platform/win32/unique_resource.hpp"
#include "platform/win32/win32_message_pump.hpp"
#include "platform/win32/win32_taskbar_progress.hpp"
#include "settings/settings_file.hpp"
#include "settings/settings_form.hpp"

namespace kavrin {

// The one main window. It owns every control, and through them every setting.
class TfKavrin : public BaseWindow<TfKavrin>, public SettingsForm, public BatchForm {
 public:
  explicit TfKavrin(const AppServices& services);
  ~TfKavrin() override;

  static const char* ClassName() { return "TfKavrin"; }

  // Builds the window and its controls, runs FormCreate and shows it.
  // Throws std::runtime_error when the window cannot be made.
  void Create(int showCommand);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Keyboard navigation for a message of the loop; true when it was used.
  bool PreTranslate(const MSG& message);

  // SettingsForm
  std::string FileName(SettingControl control) override;
  void SetFileName(SettingControl control, const std::string& value) override;
  std::string Text(SettingControl control) override;
  void SetText(SettingControl control, const std::string& value) override;
  bool Checked(SettingControl control) override;
  void SetChecked(SettingControl control, bool checked) override;
  void ShowSettingsTab() override;
  void UpdateOtaFixed() override;

  // BatchForm: the batch reads the controls at the moments it needs them.
  BatchMode ReadMode() override;
  JobSettings ReadJobSettings() override;
  int InputEntryCount() override;
  bool InputEntryText(int index, std::string& text) override;
  bool InputEntryStream(int index, int stream, bool& selected) override;
  void ShowFinishedMessage(const std::string& text, bool warning) override;
  void ShowAnotherBatchRunning() override;
  void ShutdownComputer() override;

  TButton Button1;                       // "Go"
  TPanel Panel1;                         // the drop-down's content
  TBitBtn BitBtn1;                       // "OK"
  TBitBtn BitBtn2;                       // "Cancel"
  TBitBtn BitBtn3;                       // "Add"
  TBitBtn BitBtn4;                       // "Delete"
  TBitBtn BitBtn5;                       // "Move up"
  TBitBtn BitBtn6;                       // "Sort"
  TBitBtn BitBtn7;                       // "Move down"
  TOpenDialog odVobFiles;                // "Open source files"
  TLabel Label2;                         // "Input files"
  TdxPopupEdit dxPopupEdit1;             // "0 files selected": the input list
  TPageControl PageControl1;             // the two pages
  TTabSheet tsFiles;                     // "Files and folders"
  TLabel Label1;                         // "BeSweet"
  TFilenameEdit feBeSweet;               // the transcoder's program
  TLabel Label3;                         // "SurCode CD Pro DTS"
  TFilenameEdit feSurCode;               // the DTS encoder's program
  TLabel Label4;                         // "BeSweet Temp Folder"
  TDirectoryEdit deBeSweetOutputFolder;  // the folder of the mono files
  TLabel Label5;                         // "Final Output Folder"
  TDirectoryEdit deSurcodeOutputFolder;  // the folder of the tracks
  TTabSheet tsSettings;                  // "Besweet Settings"
  TCheckBox cbUseGMax;                   // "Normalize"
  TLabel Label6;                         // "-ota("
  TLabel Label7;                         // "-azid("
  TLabel Label8;                         // "-ssrc("
  TLabel Label9;                         // "-boost("
  TEdit eBoost;                          // the options of -boost(
  TEdit eSSRC;                           // the additional options of -ssrc(
  TEdit eAzid;                           // the additional options of -azid(
  TEdit eOta;                            // the options of -ota(
  TLabel Label11;                        // ")" after -ota(
  TLabel Label12;                        // ")" after -azid(
  TLabel Label13;                        // ")" after -ssrc(
  TLabel Label14;                        // ")" after -boost(
  TRadioButton rbDTSCD;                  // "DTS-CD"
  TRadioButton rbCDDA;                   // "CDDA"
  TEdit eOtaFixed;                       // "-g max" while normalising: the fixed -azid( option
  TLabel Label17;                        // "Additional options"
  TLabel Label18;                        // "Fixed options"
  TCheckBox cbShutdown;                  // "Shutdown afterwards"
  TFilenameEdit feLogfile;               // the log file
  TCheckBox cbUseLogfile;                // "Logfile"
  TEdit eSSRCFixed;                      // "--rate 44100": the fixed -ssrc( option
  TTextListBox lbInputFiles;             // the input files
  TGroupBox cbStreams;                   // "Audio Streams"
  TCheckBox cb80;                        // "0x80"
  TCheckBox cb81;                        // "0x81"
  TCheckBox cb82;                        // "0x82"
  TCheckBox cb83;                        // "0x83"
  TCheckBox cb84;                        // "0x84"
  TCheckBox cb85;                        // "0x85"
  TCheckBox cb86;                        // "0x86"
  TCheckBox cb87;                        // "0x87"
  TRadioButton rbAC3CD;                  // "AC3-CD"

  void Button1Click();
  void FormCreate();
  void FormClose();
  void dxPopupEdit1CloseUp(std::string& text, bool& accept);
  void BitBtn6Click();
  void BitBtn3Click();
  void BitBtn5Click();
  void BitBtn7Click();
  void BitBtn4Click();
  void dxPopupEdit1InitPopup();
  void BitBtn2Click();
  void cbUseLogfileClick();
  void cbUseGMaxClick();
  void lbInputFilesClick();
  void cb80Click(TCheckBox& sender);
  void lbInputFilesDragDrop(const std::vector<std::string>& files);
  void FormDragDrop(const std::vector<std::string>& files);

 private:
  // Sent to the window itself, so that the batch and the store after it come
  // in through the window procedure like every other handler: an error is
  // shown there, owned by the window, before the send returns.
  static constexpr UINT kRunBatch = WM_APP + 2;
  static constexpr UINT kStoreAfterBatch = WM_APP + 3;

  void BuildTopLevel();
  void BuildInputPanel();
  void EnsureInputPanel();
  void BuildFilesPage();
  void BuildSettingsPage();
  void WireEvents();
  void Close();
  bool StoreAfterBatch();
  void KeepFocus(bool activating);
  void NameControls();
  void ChangeDpi(int dpi, const RECT& suggested);

  // The control of each setting, reached as the kinds it is: a file-name
  // field is a text field too. A kind the control is not stays null.
  struct SettingField {
    TCustomEdit* text = nullptr;
    TFilenameEdit* fileName = nullptr;
    TCheckable* check = nullptr;
  };
  void TableSettingFields();
  const SettingField& Field(SettingControl control) const { return settingFields_[static_cast<std::size_t>(control)]; }
  std::array<SettingField, kSettingControlCount> settingFields_{};

  bool BatchRunning() const;
  void LockInputList(bool locked);
  // lbInputFiles mirrors the input list: its lines, records and selection.
  void ShowInputList();
  void TakeListSelection();

  win32::UniqueFont font_;
  int dpi_ = kDesignDpi;
  AccessibleNames names_;
  UnreadSettings unreadSettings_;
  HWND lastFocus_ = nullptr;
  AppServices services_;
  // They act on this window: the batch's waits pass keys on as the main loop
  // does, and the taskbar button is this window's.
  win32::Win32MessagePump pump_;
  win32::Win32TaskbarProgress taskbar_;
  // The batch behind "Go": one runner for the life of the window, so that it
  // can tell a running batch from none.
  EncoderAutomation encoder_;
  BatchRunner runner_;

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
  Lifecycle lifecycle_ = Lifecycle::Open;
  // The finished box of a batch closed meanwhile, with tracks not made.
  std::string finishAfterClose_;
  void EndProgram(int exitCode);
  // The entries of lbInputFiles with their records, and the saved copy
  // that Cancel restores.
  InputList inputList_;
};

}  // namespace kavrin
