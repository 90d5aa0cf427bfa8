#include "app/tf_kavrin.hpp"

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <utility>

#include "app/widgets/handler_dispatch.hpp"
#include "app/widgets/tab_walk.hpp"
#include "platform/win32/win32_dpi.hpp"
#include "platform/win32/win32_dropped_files.hpp"
#include "settings/settings_file.hpp"

namespace kavrin {

namespace {

constexpr int kClientWidth = 424;
constexpr int kClientHeight = 209;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
// Posted at start-up: what the first screen does not need comes after it.
constexpr UINT kAfterFirstPaint = WM_APP + 1;

RECT FrameAtDpi(int dpi) {
  const RECT client{0, 0, ScaleToDpi(kClientWidth, dpi), ScaleToDpi(kClientHeight, dpi)};
  return win32::FrameForClient(client, kWindowStyle, WS_EX_CONTROLPARENT, dpi);
}

}  // namespace

TfKavrin::TfKavrin(const AppServices& services)
    : odVobFiles(services.folders),
      feBeSweet(services.folders),
      feSurCode(services.folders),
      deBeSweetOutputFolder(services.folders),
      deSurcodeOutputFolder(services.folders),
      feLogfile(services.folders),
      services_(services),
      settingControls_(*this),
      pump_([this](MSG& message) { return hwnd_ != nullptr && PreTranslate(message); }),
      // Asked at each call: the window does not exist yet.
      taskbar_([this] { return hwnd_; }),
      encoder_(EncoderServices{services.program, services.registry, services.windows, pump_, services.clock,
                               services.launcher, services.files, services.lookup, services.errors,
                               [this](const std::string& text) {
                                 // Hidden at start-up: the box then has no owner.
                                 MessageBoxA(IsWindowVisible(hwnd_) != FALSE ? hwnd_ : nullptr, text.c_str(), "Kavrin",
                                             MB_OK | MB_ICONWARNING);
                               }}),
      model_(*this,
             BatchServices{services.launcher, services.lookup, services.files, services.clock, pump_, encoder_,
                           &taskbar_, &services.session, &services.folders, &services.errors},
             SortServices{services.lookup, services.collation, services.errors}, services.shutdown) {}

TfKavrin::~TfKavrin() {
  // The controls must still exist while their windows go.
  if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
}

void TfKavrin::Create(int showCommand) {
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
  // Files dropped anywhere on it join the input list.
  if (!CreateTopLevel("Kavrin v1.2", kWindowStyle, WS_EX_CONTROLPARENT | WS_EX_ACCEPTFILES, 0, 0,
                      frame.right - frame.left, frame.bottom - frame.top)) {
    throw std::runtime_error("Cannot create the main window");
  }
  // Only the window knows which monitor, and so which dpi, it is on.
  dpi_ = win32::WindowDpi(hwnd_);
  font_ = win32::CreateWindowFont(dpi_);
  frame = FrameAtDpi(dpi_);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  BuildLayout();
  WireEvents();

  // Not shown yet, so its error box has no owner; start-up goes on after it.
  RunHandler(nullptr, [this] { FormCreate(); });
  // The encoder's options that a killed or crashed batch left saved go back,
  // unless another instance's batch is using the encoder now.
  if (services_.session.TryLock()) {
    RunHandler(nullptr, [this] { encoder_.RecoverEncoderOptions(); });
    services_.session.Unlock();
  }
  // Whatever the load left, the log file field follows its box from now on.
  feLogfile.SetEnabled(cbUseLogfile.Checked());
  ShowWindow(hwnd_, showCommand);
  UpdateWindow(hwnd_);
  PostMessageA(hwnd_, kAfterFirstPaint, 0, 0);
}

void TfKavrin::WireEvents() {
  Button1.onClick = [this] { Button1Click(); };
  dxPopupEdit1.onInitPopup = [this] {
    EnsureInputPanel();
    names_.Name(dxPopupEdit1.PopupWindow(), L"Input files");
    dxPopupEdit1InitPopup();
  };
  dxPopupEdit1.onCloseUp = [this](std::string& text, bool& accept) { dxPopupEdit1CloseUp(text, accept); };
  BitBtn2.onClick = [this] { BitBtn2Click(); };
  BitBtn3.onClick = [this] { BitBtn3Click(); };
  BitBtn4.onClick = [this] { BitBtn4Click(); };
  BitBtn5.onClick = [this] { BitBtn5Click(); };
  BitBtn6.onClick = [this] { BitBtn6Click(); };
  BitBtn7.onClick = [this] { BitBtn7Click(); };
  lbInputFiles.onClick = [this] { lbInputFilesClick(); };
  lbInputFiles.onDropFiles = [this](const std::vector<std::string>& files) { FormDragDrop(files); };
  dxPopupEdit1.onDropFiles = [this](const std::vector<std::string>& files) { FormDragDrop(files); };
  for (TCheckBox* box : {&cb80, &cb81, &cb82, &cb83, &cb84, &cb85, &cb86, &cb87}) {
    box->onClick = [this, box] { cb80Click(*box); };
  }
  cbUseLogfile.onClick = [this] { cbUseLogfileClick(); };
  cbUseGMax.onClick = [this] { cbUseGMaxClick(); };
}

LRESULT TfKavrin::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (ReflectToControl(message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_ACTIVATE:
      KeepFocus(LOWORD(wParam) != WA_INACTIVE);
      return 0;
    case WM_CLOSE:
      model_.Close();
      return 0;
    case WM_ENDSESSION:
      // The program may be ended as soon as this returns.
      if (wParam != FALSE) model_.EndSession();
      return 0;
    case WM_DESTROY:
      EndProgram();
      return 0;
    case kDpiChangedMessage:
      ChangeDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
      // The tab control needs the change passed on; the glyphs are drawn again.
      RefreshColours(hwnd_);
      return 0;
    case kAfterFirstPaint:
      EnsureInputPanel();
      NameControls();
      return 0;
    case WM_DROPFILES:
      FormDragDrop(win32::TakeDroppedFiles(reinterpret_cast<HDROP>(wParam)));
      return 0;
    default:
      return DefWindowProcA(hwnd_, message, wParam, lParam);
  }
}

// Moved to a monitor of another dpi, or the dpi changed: everything laid out
// again from the 96-dpi layout, in a font of the new size.
void TfKavrin::ChangeDpi(int dpi, const RECT& suggested) {
  if (dpi <= 0) return;
  win32::UniqueFont font = win32::CreateWindowFont(dpi);
  dpi_ = dpi;
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
  RescaleChildren(hwnd_, dpi, font.Get());
  // The old font goes only once no control uses it.
  font_ = std::move(font);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

// Screen readers take a control's name from the label before it; these have
// none, or not the right one.
void TfKavrin::NameControls() {
  names_.Name(feLogfile.Handle(), L"Logfile");
  names_.Name(eOtaFixed.Handle(), L"Fixed options -azid(");
  names_.Name(eSSRCFixed.Handle(), L"Fixed options -ssrc(");
  names_.Name(lbInputFiles.Handle(), L"Input files");
  names_.Name(dxPopupEdit1.ButtonHandle(), L"Open");
  names_.Shortcut(dxPopupEdit1.Handle(), L"Alt+Down");
  for (const TButtonEdit* field : std::initializer_list<const TButtonEdit*>{
           &feBeSweet, &feSurCode, &deBeSweetOutputFolder, &deSurcodeOutputFolder, &feLogfile}) {
    names_.Name(field->ButtonHandle(), L"Browse");
    names_.Shortcut(field->Handle(), L"Alt+Down");
  }
}

// As a dialog does: the focus leaves with the window and comes back to the
// same control, or to the first one in tab order.
void TfKavrin::KeepFocus(bool activating) {
  if (!activating) {
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(hwnd_, focus)) lastFocus_ = focus;
    return;
  }
  if (lastFocus_ == nullptr || !IsWindow(lastFocus_) || !IsChild(hwnd_, lastFocus_) || !IsWindowVisible(lastFocus_) ||
      !IsWindowEnabled(lastFocus_)) {
    lastFocus_ = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
  }
  if (lastFocus_ != nullptr) SetFocus(lastFocus_);
}

bool TfKavrin::PreTranslate(const MSG& message) {
  // Ctrl+Tab and Ctrl+Shift+Tab turn the pages.
  if (message.message == WM_KEYDOWN && message.wParam == VK_TAB && (GetKeyState(VK_CONTROL) & 0x8000) != 0 &&
      IsChild(hwnd_, message.hwnd)) {
    PageControl1.SelectNextPage((GetKeyState(VK_SHIFT) & 0x8000) == 0);
    return true;
  }
  if (HandleTabKey(hwnd_, message) || HandleEnterKey(hwnd_, message)) return true;
  return IsDialogMessageA(hwnd_, const_cast<MSG*>(&message)) != FALSE;
}

// The one way out. WM_QUIT ends the innermost message loop that gets it: a
// message box or the batch's wait hands it on outwards (the box by posting
// it again, the wait by returning), until the main loop ends and WinMain
// destroys the window. So a quit posted while a batch runs ends the program
// only after the batch has unwound, and a box shown after it closes at once.
void TfKavrin::EndProgram() { PostQuitMessage(0); }

void TfKavrin::DestroyForm() { ::DestroyWindow(hwnd_); }

void TfKavrin::FormCreate() {
  LoadSettings(services_.profile, SettingsFilePath(services_.program.ExecutablePath()), settingControls_,
               unreadSettings_);
}

void TfKavrin::FormClose() {
  StoreSettings(services_.profile, SettingsFilePath(services_.program.ExecutablePath()), settingControls_,
                unreadSettings_);
}

void TfKavrin::cbUseLogfileClick() { feLogfile.SetEnabled(cbUseLogfile.Checked()); }

void TfKavrin::cbUseGMaxClick() { UpdateOtaFixed(); }

void TfKavrin::UpdateOtaFixed() { eOtaFixed.SetText(cbUseGMax.Checked() ? "-g max" : ""); }

void TfKavrin::dxPopupEdit1InitPopup() { model_.InitPopup(); }

void TfKavrin::dxPopupEdit1CloseUp(std::string& text, bool& accept) {
  text = model_.SummaryText();
  accept = true;
  Button1.SetEnabled(model_.GoEnabled());
}

void TfKavrin::BitBtn2Click() { model_.Cancel(); }

void TfKavrin::BitBtn3Click() {
  if (model_.ListLocked() || !odVobFiles.Execute(OwnerOf(BitBtn3.Handle()))) return;
  model_.Add(odVobFiles.Files(), lbInputFiles.ItemIndex());
}

// Dropped files join the list as "Add" adds them. Onto the closed field or
// the window, the field and "Go" follow at once, as after a close-up; an
// open drop-down shows them at its close.
void TfKavrin::FormDragDrop(const std::vector<std::string>& files) {
  EnsureInputPanel();
  model_.Add(files, lbInputFiles.ItemIndex());
  if (!dxPopupEdit1.DroppedDown()) ShowSummary();
}

void TfKavrin::ShowSummary() {
  dxPopupEdit1.SetText(model_.SummaryText());
  Button1.SetEnabled(model_.GoEnabled());
}

void TfKavrin::BitBtn4Click() { model_.Delete(lbInputFiles.ItemIndex()); }

void TfKavrin::BitBtn5Click() { model_.MoveUp(lbInputFiles.ItemIndex()); }

void TfKavrin::BitBtn6Click() { model_.Sort(lbInputFiles.ItemIndex()); }

void TfKavrin::BitBtn7Click() { model_.MoveDown(lbInputFiles.ItemIndex()); }

void TfKavrin::lbInputFilesClick() { model_.SelectLine(lbInputFiles.ItemIndex()); }

void TfKavrin::cb80Click(TCheckBox& sender) {
  model_.StoreStreamChoice(lbInputFiles.ItemIndex(), sender.Tag(), sender.Checked());
}

}  // namespace kavrin
