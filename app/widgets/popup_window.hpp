#pragma once

#include <windows.h>

#include "app/widgets/base_window.hpp"
#include "platform/win32/unique_resource.hpp"

namespace kavrin {

// The drop-down window of a TdxPopupEdit: its own top-level window, owned by
// the field's window, sizable but not movable, showing one control that fills
// its client area. While open it runs a message loop of its own.
class TdxPopupWindow : public BaseWindow<TdxPopupWindow> {
 public:
  static constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
  static constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

  TdxPopupWindow() = default;
  ~TdxPopupWindow();

  static const char* ClassName() { return "TdxPopupWindow"; }

  bool Create(HWND owner);
  // The control that fills the client area while the window is open, and
  // the one inside it that has the focus when it opens.
  void SetContent(HWND content, HWND initialFocus) {
    content_ = content;
    initialFocus_ = initialFocus;
  }
  // Shows the window at `place` and runs its loop until it closes, `field`
  // goes away or the application is told to end. True when it closed
  // accepting (a button of kind OK).
  bool Run(HWND field, const RECT& place);

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  enum class Outcome { Open, Accept, Cancel };

  bool HandleDialogKey(const MSG& message);
  bool OwnsWindow(HWND window) const;
  bool IsClickElsewhere(const MSG& message) const;
  void FocusInside();
  void Finish(Outcome outcome);
  void Place(const RECT& place);
  void FollowOwnedDialog(bool enabled);
  void ChangeDpi(int dpi, const RECT& suggested);

  HWND content_ = nullptr;
  HWND initialFocus_ = nullptr;
  // The content's font while the drop-down is at a dpi of its own.
  win32::UniqueFont font_;
  HWND lastFocus_ = nullptr;
  bool running_ = false;
  bool placing_ = false;
  // The owner was disabled with this window, by a dialog opened from it.
  bool ownerDisabled_ = false;
  // Another program is active; the loop closes at its next turn.
  bool appLeft_ = false;
  Outcome outcome_ = Outcome::Open;
};

}  // namespace kavrin
