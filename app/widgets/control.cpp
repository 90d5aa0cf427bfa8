#include "app/widgets/control.hpp"

#include <commctrl.h>

#include <stdexcept>
#include <unordered_map>

#include "app/widgets/handler_dispatch.hpp"

namespace kavrin {

namespace {

// The control of each window, found without asking the system (a window
// property costs a round trip to the server under Wine, and some loops ask
// for every sibling). Only the user-interface thread makes controls.
std::unordered_map<HWND, TControl*>& Controls() {
  static std::unordered_map<HWND, TControl*> controls;
  return controls;
}
constexpr UINT_PTR kSubclassId = 1;

HWND NotifyingChild(UINT message, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
      return reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      return reinterpret_cast<HWND>(lParam);
    case WM_DRAWITEM: {
      // Controls here are built without ids, so the type tells menus apart.
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      return item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
    }
    default:
      return nullptr;
  }
}

// An entry procedure (app/widgets/handler_dispatch.hpp).
LRESULT CALLBACK ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  RunHandler(OwnerOf(window), [&] {
    if (!ReflectToControl(message, wParam, lParam, result)) result = DefWindowProcA(window, message, wParam, lParam);
  });
  return result;
}

}  // namespace

Bounds ScaledBounds(const Bounds& bounds, int dpi) {
  return {ScaleToDpi(bounds.left, dpi), ScaleToDpi(bounds.top, dpi), ScaleToDpi(bounds.width, dpi),
          ScaleToDpi(bounds.height, dpi)};
}

std::vector<HWND> DescendantsOf(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

void RescaleChildren(HWND parent, int dpi, HFONT font) {
  // Parents come before their children, so a child may follow its parent.
  std::vector<TControl*> controls;
  for (HWND child : DescendantsOf(parent)) {
    if (TControl* control = TControl::FromHandle(child)) controls.push_back(control);
  }
  for (TControl* control : controls) control->Rescale(dpi, font);
}

void RefreshColours(HWND root) {
  for (HWND child : DescendantsOf(root)) {
    SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
    if (TControl* control = TControl::FromHandle(child)) control->ColoursChanged();
  }
  InvalidateRect(root, nullptr, TRUE);
}

bool HighContrast() {
  HIGHCONTRASTA setting{};
  setting.cbSize = sizeof setting;
  return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof setting, &setting, 0) != FALSE &&
         (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

TControl::~TControl() {
  const auto entry = Controls().find(hwnd_);
  if (entry == Controls().end() || entry->second != this) return;
  Controls().erase(entry);
  if (subclassed_ && IsWindow(hwnd_)) RemoveWindowSubclass(hwnd_, &TControl::SubclassProc, kSubclassId);
}

bool TControl::Enabled() const { return IsWindowEnabled(hwnd_) != FALSE; }

void TControl::SetEnabled(bool enabled) { EnableWindow(hwnd_, enabled ? TRUE : FALSE); }

bool TControl::Visible() const { return (GetWindowLongPtrA(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0; }

void TControl::SetVisible(bool visible) { ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE); }

std::string TControl::Caption() const {
  const int length = GetWindowTextLengthA(hwnd_);
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(hwnd_, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

void TControl::SetCaption(const std::string& text) { SetWindowTextA(hwnd_, text.c_str()); }

void TControl::SetFocus() { ::SetFocus(hwnd_); }

TControl* TControl::FromHandle(HWND window) {
  if (window == nullptr) return nullptr;
  const auto entry = Controls().find(window);
  return entry != Controls().end() ? entry->second : nullptr;
}

bool TControl::OnReflected(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

void TControl::ColoursChanged() { InvalidateRect(hwnd_, nullptr, TRUE); }

void TControl::CreateChild(const Host& host, const char* className, const std::string& text, DWORD style, DWORD exStyle,
                           const Bounds& bounds) {
  design_ = bounds;
  dpi_ = host.dpi;
  const Bounds place = ScaledBounds(bounds, dpi_);
  hwnd_ = CreateWindowExA(exStyle, className, text.c_str(), WS_CHILD | style, place.left, place.top, place.width,
                          place.height, host.window, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (hwnd_ == nullptr) throw std::runtime_error(std::string("Cannot create a control of class ") + className);
  font_ = host.font;
  Controls()[hwnd_] = this;
  if (font_ != nullptr) SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
}

void TControl::AdoptScale(int dpi, HFONT font) {
  dpi_ = dpi;
  font_ = font;
  if (font_ != nullptr) SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
}

void TControl::Rescale(int dpi, HFONT font) {
  // The dpi first: a container that follows its own size reads it.
  dpi_ = dpi;
  const Bounds place = ScaledBounds(design_, dpi);
  SetWindowPos(hwnd_, nullptr, place.left, place.top, place.width, place.height, SWP_NOZORDER | SWP_NOACTIVATE);
  AdoptScale(dpi, font);
}

void TControl::Subclass() {
  subclassed_ =
      SetWindowSubclass(hwnd_, &TControl::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

LRESULT TControl::HandleSubclassed(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallDefault(message, wParam, lParam);
}

LRESULT TControl::CallDefault(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefSubclassProc(hwnd_, message, wParam, lParam);
}

// An entry procedure (app/widgets/handler_dispatch.hpp).
LRESULT CALLBACK TControl::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR data) {
  auto* self = reinterpret_cast<TControl*>(data);
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, &TControl::SubclassProc, kSubclassId);
    self->subclassed_ = false;
    return DefSubclassProc(window, message, wParam, lParam);
  }
  LRESULT result = 0;
  RunHandler(OwnerOf(window), [&] { result = self->HandleSubclassed(message, wParam, lParam); });
  return result;
}

bool ReflectToControl(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  TControl* control = TControl::FromHandle(NotifyingChild(message, lParam));
  return control != nullptr && control->OnReflected(message, wParam, lParam, result);
}

const char* ContainerClassName() {
  static const char* const name = [] {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &ContainerProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "KavrinContainer";
    RegisterClassExA(&windowClass);
    return "KavrinContainer";
  }();
  return name;
}

}  // namespace kavrin
