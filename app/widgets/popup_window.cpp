#include "app/widgets/popup_window.hpp"

#include <vector>

#include "app/widgets/button.hpp"
#include "app/widgets/control.hpp"
#include "app/widgets/tab_walk.hpp"
#include "core/scoped_flag.hpp"
#include "platform/win32/win32_dpi.hpp"

namespace kavrin {

namespace {

constexpr int kMinimumSize = 100;

TBitBtn* ButtonOfKind(HWND parent, TBitBtn::Kind kind) {
  for (HWND window : DescendantsOf(parent)) {
    auto* button = dynamic_cast<TBitBtn*>(TControl::FromHandle(window));
    if (button != nullptr && button->GetKind() == kind && IsWindowVisible(window) && IsWindowEnabled(window)) {
      return button;
    }
  }
  return nullptr;
}

}  // namespace

TdxPopupWindow::~TdxPopupWindow() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

bool TdxPopupWindow::Create(HWND owner) {
  if (!CreateTopLevel("", kStyle, kExStyle, 0, 0, kMinimumSize, kMinimumSize, owner)) return false;
  // A dialog frame shows no icon; nor should the class's own stand in.
  SetClassLongPtrA(hwnd_, GCLP_HICON, 0);
  SetClassLongPtrA(hwnd_, GCLP_HICONSM, 0);
  // It stays where the field put it.
  DeleteMenu(GetSystemMenu(hwnd_, FALSE), SC_MOVE, MF_BYCOMMAND);
  return true;
}

bool TdxPopupWindow::Run(HWND field, const RECT& place) {
  outcome_ = Outcome::Open;
  appLeft_ = false;
  lastFocus_ = initialFocus_;
  Place(place);
  running_ = true;
  FocusInside();
  // The buttons may have been styled in the main window since.
  ShowDefaultLook(hwnd_, GetFocus());

  // However the loop ends, an error included, the drop-down is hidden, the
  // owner enabled again and a request to end still reaches the main loop.
  struct Closing {
    TdxPopupWindow& popup;
    bool quit = false;
    WPARAM quitCode = 0;
    ~Closing() {
      popup.running_ = false;
      popup.FollowOwnedDialog(true);
      // Hand the activation back to the owner first, unless another program has it.
      HWND self = popup.hwnd_;
      if (!popup.appLeft_ && GetActiveWindow() == self) SetActiveWindow(GetWindow(self, GW_OWNER));
      ShowWindow(self, SW_HIDE);
      if (quit) PostQuitMessage(static_cast<int>(quitCode));
    }
  } closing{*this};

  while (IsWindowVisible(hwnd_) && IsWindow(field)) {
    if (appLeft_) outcome_ = Outcome::Cancel;
    if (outcome_ != Outcome::Open) break;
    MSG message{};
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      WaitMessage();
      continue;
    }
    if (message.message == WM_QUIT) {
      closing.quit = true;
      closing.quitCode = message.wParam;
      break;
    }
    // The activation that such a click brings closes the drop-down too, but
    // the system may not have activated the drop-down yet.
    if (IsClickElsewhere(message)) Finish(Outcome::Cancel);
    if (HandleDialogKey(message) || HandleTabKey(hwnd_, message) || IsDialogMessageA(hwnd_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return outcome_ == Outcome::Accept;
}

// In two steps, so that the move to a monitor of another dpi, which lays the
// content out for it, cannot size the window from a size already scaled.
void TdxPopupWindow::Place(const RECT& place) {
  const ScopedFlag placing(placing_);
  SetWindowPos(hwnd_, HWND_TOP, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(hwnd_, HWND_TOP, place.left, place.top, place.right - place.left, place.bottom - place.top,
               SWP_SHOWWINDOW);
}

// A modal dialog opened from inside ("Add", an error box) disables this
// window; the main window behind it goes with it, as it would behind a
// dialog of its own, and comes back with it.
void TdxPopupWindow::FollowOwnedDialog(bool enabled) {
  HWND owner = GetWindow(hwnd_, GW_OWNER);
  if (owner == nullptr) return;
  if (!enabled && running_ && IsWindowEnabled(owner)) {
    ownerDisabled_ = true;
    EnableWindow(owner, FALSE);
  } else if (enabled && ownerDisabled_) {
    ownerDisabled_ = false;
    EnableWindow(owner, TRUE);
  }
}

// Escape presses the Cancel button; Enter presses the focused push button, or
// the OK button when no other button has the focus. Both press as a click
// does.
bool TdxPopupWindow::HandleDialogKey(const MSG& message) {
  if (HandleEnterKey(hwnd_, message)) return true;
  if (message.message != WM_KEYDOWN || message.wParam != VK_ESCAPE) return false;
  if (message.hwnd != hwnd_ && !IsChild(hwnd_, message.hwnd)) return false;
  if (TBitBtn* cancel = ButtonOfKind(hwnd_, TBitBtn::Kind::Cancel)) {
    cancel->Press();
  } else {
    Finish(Outcome::Cancel);
  }
  return true;
}

// A window this one owns, directly or further down: the "Add" dialog, an
// error box.
bool TdxPopupWindow::OwnsWindow(HWND window) const {
  for (HWND owner = window != nullptr ? GetWindow(window, GW_OWNER) : nullptr; owner != nullptr;
       owner = GetWindow(owner, GW_OWNER)) {
    if (owner == hwnd_) return true;
  }
  return false;
}

// A mouse button pressed in another window of the program; the click itself
// still goes to that window.
bool TdxPopupWindow::IsClickElsewhere(const MSG& message) const {
  switch (message.message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
      break;
    default:
      return false;
  }
  if (message.hwnd == nullptr || message.hwnd == hwnd_ || IsChild(hwnd_, message.hwnd)) return false;
  return !OwnsWindow(GetAncestor(message.hwnd, GA_ROOT));
}

void TdxPopupWindow::FocusInside() {
  if (lastFocus_ == nullptr || !IsWindow(lastFocus_) || !IsChild(hwnd_, lastFocus_) || !IsWindowVisible(lastFocus_) ||
      !IsWindowEnabled(lastFocus_)) {
    lastFocus_ = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
  }
  if (lastFocus_ != nullptr) SetFocus(lastFocus_);
}

void TdxPopupWindow::Finish(Outcome outcome) {
  if (running_ && outcome_ == Outcome::Open) outcome_ = outcome;
}

// Moved to a monitor of another dpi while open: the content is laid out
// again for it, and filled to the suggested size. The change its own placing
// brings is not one: it opens at the field's dpi, with the size it is given.
void TdxPopupWindow::ChangeDpi(int dpi, const RECT& suggested) {
  if (dpi <= 0 || placing_) return;
  win32::UniqueFont font = win32::CreateWindowFont(dpi);
  RescaleChildren(hwnd_, dpi, font.Get());
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client{};
  GetClientRect(hwnd_, &client);
  if (content_ != nullptr && GetParent(content_) == hwnd_) {
    SetWindowPos(content_, nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  font_ = std::move(font);
}

LRESULT TdxPopupWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (ReflectToControl(message, wParam, lParam, result)) return result;
  switch (message) {
    case kModalResultMessage:
      if (static_cast<ModalResult>(wParam) == ModalResult::Ok) Finish(Outcome::Accept);
      if (static_cast<ModalResult>(wParam) == ModalResult::Cancel) Finish(Outcome::Cancel);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        if (running_) FocusInside();
        return 0;
      }
      if (HWND focus = GetFocus(); focus != nullptr && IsChild(hwnd_, focus)) lastFocus_ = focus;
      // Another window of this program closes it; one it owns does not. The
      // activation of another program comes as WM_ACTIVATEAPP.
      if (auto* next = reinterpret_cast<HWND>(lParam);
          next != nullptr && GetWindowThreadProcessId(next, nullptr) == GetCurrentThreadId() && !OwnsWindow(next)) {
        Finish(Outcome::Cancel);
      }
      return 0;
    case WM_ACTIVATEAPP:
      // Every top-level window of the program hears it, this one also while
      // a dialog of its own ("Add", an error box) is in front. Coming back
      // clears it, so that the loop still finds the program active when that
      // dialog closes.
      if (running_) appLeft_ = wParam == FALSE;
      return 0;
    case WM_CLOSE:
      Finish(Outcome::Cancel);
      return 0;
    case WM_ENABLE:
      FollowOwnedDialog(wParam != FALSE);
      return 0;
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
      RefreshColours(hwnd_);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_MOVE) return 0;
      break;
    case WM_GETMINMAXINFO: {
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMinTrackSize.x = kMinimumSize;
      limits->ptMinTrackSize.y = kMinimumSize;
      return 0;
    }
    case kDpiChangedMessage:
      ChangeDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_SIZE:
      if (content_ != nullptr && GetParent(content_) == hwnd_) {
        SetWindowPos(content_, nullptr, 0, 0, LOWORD(lParam), HIWORD(lParam), SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

}  // namespace kavrin
