#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/dpi_scale.hpp"
#include "platform/win32/unique_resource.hpp"

namespace kavrin {

// Left, top, width, height in pixels, relative to the parent.
struct Bounds {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// Where a child control is built: its parent window, the font every control
// of the window shares and the dpi the window is drawn at.
struct Host {
  HWND window = nullptr;
  HFONT font = nullptr;
  int dpi = kDesignDpi;
};

// The 96-dpi bounds at `dpi`.
Bounds ScaledBounds(const Bounds& bounds, int dpi);

// The message Windows sends when a window's dpi changes; spelled out because
// the headers offer it only to programs that require Windows 8.1.
constexpr UINT kDpiChangedMessage = 0x02E0;

// The base of every widget: one child window, found again from its handle, to
// which its parent reflects the notifications the control sends.
class TControl {
 public:
  TControl() = default;
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;
  virtual ~TControl();

  HWND Handle() const { return hwnd_; }
  Host AsHost() const { return {hwnd_, font_, dpi_}; }
  int Dpi() const { return dpi_; }
  const Bounds& DesignBounds() const { return design_; }

  bool Enabled() const;
  void SetEnabled(bool enabled);
  bool Visible() const;
  void SetVisible(bool visible);
  // The window text: a caption, or an edit's text.
  std::string Caption() const;
  void SetCaption(const std::string& text);
  void SetFocus();

  static TControl* FromHandle(HWND window);

  // A message the parent passed back to the control it came from (WM_COMMAND,
  // WM_NOTIFY, WM_CTLCOLOR*, WM_DRAWITEM). True when handled, with `result`.
  virtual bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  // Lays the control out again at `dpi` from its 96-dpi bounds, with `font`.
  virtual void Rescale(int dpi, HFONT font);
  // The system's colours or theme changed; drawn again with them.
  virtual void ColoursChanged();

 protected:
  // Throws std::runtime_error when the window cannot be created.
  void CreateChild(const Host& host, const char* className, const std::string& text, DWORD style, DWORD exStyle,
                   const Bounds& bounds);

  // Routes the window's own messages through HandleSubclassed.
  void Subclass();
  virtual LRESULT HandleSubclassed(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT CallDefault(UINT message, WPARAM wParam, LPARAM lParam);

  // Takes the dpi and font without moving: for controls whose place follows
  // their parent's.
  void AdoptScale(int dpi, HFONT font);
  void SetDesignBounds(const Bounds& bounds) { design_ = bounds; }

  HWND hwnd_ = nullptr;
  HFONT font_ = nullptr;
  int dpi_ = kDesignDpi;

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR data);
  bool subclassed_ = false;
  Bounds design_;
};

// Passes a notification from a child back to the child's control. Every
// window that has children calls this first, so no parent switches on ids.
// It catches nothing: an error of the control's event goes on to the entry
// procedure the message came in by (app/widgets/handler_dispatch.hpp).
bool ReflectToControl(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// The class of plain containers (panels, tab sheets): button-face background,
// reflects its children's notifications.
const char* ContainerClassName();

// Every window below `parent`, parents before their children.
std::vector<HWND> DescendantsOf(HWND parent);

// Rescales every control below `parent`.
void RescaleChildren(HWND parent, int dpi, HFONT font);

// Tells every window below `root` that the system's colours changed (the
// common controls need it passed on) and lets each control draw again.
void RefreshColours(HWND root);

// The user's high-contrast setting is on: colours of the program's own
// choice give way to the system's.
bool HighContrast();

}  // namespace kavrin
