#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "app/app_services.hpp"
#include "app/setting_controls.hpp"
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
#include "encoder/encoder_automation.hpp"
#include "model/main_model.hpp"
#include "model/main_view.hpp"
#include "platform/win32/unique_resource.hpp"
#include "platform/win32/win32_message_pump.hpp"
#include "platform/win32/win32_taskbar_progress.hpp"
#include "settings/settings_file.hpp"

namespace kavrin {

// The one main window. It owns every control, and through them every setting;
// its decisions are its model's, which its handlers call in a line or two.
class TfKavrin : public BaseWindow<TfKavrin>, public MainView {
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

  // MainView: what the model reads from the controls and asks of the window.
  BatchMode ReadMode() override;
  JobSettings ReadJobSettings() override { return settingControls_.ReadJobSettings(); }
  void ShowBox(const std::string& text, Box box) override;
  void EndProgram() override;
  void DestroyForm() override;
  void ShowListLock(bool locked, bool goEnabled) override;
  void EditInputList(const ListEdit& edit) override;
  void ShowStreamChoices(const StreamChoices& choices) override;

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
  void FormClose() override;
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
  // Files dropped on the window, the closed field or the open list.
  void FormDragDrop(const std::vector<std::string>& files);
  void UpdateOtaFixed();

 private:
  // The controls of the window, its pages, and lazily the drop-down's.
  void BuildLayout();
  void EnsureInputPanel();
  void WireEvents();
  void KeepFocus(bool activating);
  void NameControls();
  void ChangeDpi(int dpi, const RECT& suggested);
  // The field and "Go" after the list changed outside the drop-down.
  void ShowSummary();

  win32::UniqueFont font_;
  int dpi_ = kDesignDpi;
  AccessibleNames names_;
  UnreadSettings unreadSettings_;
  HWND lastFocus_ = nullptr;
  AppServices services_;
  SettingControls settingControls_;
  // They act on this window: the batch's waits pass keys on as the main loop
  // does, and the taskbar button is this window's.
  win32::Win32MessagePump pump_;
  win32::Win32TaskbarProgress taskbar_;
  EncoderAutomation encoder_;
  // The decisions, the batch behind "Go" and the input list.
  MainModel model_;
};

}  // namespace kavrin
