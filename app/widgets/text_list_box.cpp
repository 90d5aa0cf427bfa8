#include "app/widgets/text_list_box.hpp"

#include <algorithm>

#include "app/widgets/handler_dispatch.hpp"
#include "platform/win32/unique_resource.hpp"
#include "platform/win32/win32_dropped_files.hpp"

namespace kavrin {

void TTextListBox::Create(const Host& host, const CreateArgs& args) {
  const DWORD style = WS_VISIBLE | WS_TABSTOP | WS_GROUP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
  CreateChild(host, "ListBox", "", style, WS_EX_CLIENTEDGE | WS_EX_ACCEPTFILES, args.bounds);
  Subclass();
}

int TTextListBox::Count() const { return static_cast<int>(SendMessageA(hwnd_, LB_GETCOUNT, 0, 0)); }

std::string TTextListBox::Line(int index) const {
  const auto length = SendMessageA(hwnd_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR || length <= 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const auto copied =
      SendMessageA(hwnd_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied == LB_ERR ? 0 : static_cast<size_t>(copied));
  return text;
}

void* TTextListBox::Object(int index) const {
  const auto data = SendMessageA(hwnd_, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
  return data == LB_ERR ? nullptr : reinterpret_cast<void*>(data);
}

void TTextListBox::Add(const std::string& text, void* object) { Insert(-1, text, object); }

void TTextListBox::Insert(int index, const std::string& text, void* object) {
  const auto at =
      SendMessageA(hwnd_, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str()));
  if (at == LB_ERR || at == LB_ERRSPACE) return;
  SendMessageA(hwnd_, LB_SETITEMDATA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(object));
  // A new line can only widen the range.
  const auto extent = static_cast<int>(SendMessageA(hwnd_, LB_GETHORIZONTALEXTENT, 0, 0));
  const int width = LineWidth(text + "x");
  if (width > extent) SendMessageA(hwnd_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(width), 0);
}

void TTextListBox::Delete(int index) {
  SendMessageA(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
  UpdateScrollRange();
}

void TTextListBox::Move(int from, int to) {
  if (from == to) return;
  const std::string text = Line(from);
  void* const object = Object(from);
  SendMessageA(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(from), 0);
  const auto at = SendMessageA(hwnd_, LB_INSERTSTRING, static_cast<WPARAM>(to), reinterpret_cast<LPARAM>(text.c_str()));
  if (at != LB_ERR && at != LB_ERRSPACE) {
    SendMessageA(hwnd_, LB_SETITEMDATA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(object));
  }
}

void TTextListBox::Clear() {
  SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0);
  UpdateScrollRange();
}

int TTextListBox::ItemIndex() const { return static_cast<int>(SendMessageA(hwnd_, LB_GETCURSEL, 0, 0)); }

void TTextListBox::SetItemIndex(int index) { SendMessageA(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(index), 0); }

int TTextListBox::LineWidth(const std::string& text) const {
  const win32::WindowDc dc = win32::GetWindowDc(hwnd_);
  const win32::Selection select = win32::SelectInto(dc.Get().dc, font_);
  SIZE size{};
  GetTextExtentPoint32A(dc.Get().dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

// The widest line followed by one "x", so the end of a long path can be
// scrolled into view; when the widest line goes, back to the left edge.
void TTextListBox::UpdateScrollRange() {
  int widest = 0;
  const int count = Count();
  for (int index = 0; index < count; ++index) widest = std::max(widest, LineWidth(Line(index) + "x"));
  const auto previous = SendMessageA(hwnd_, LB_GETHORIZONTALEXTENT, 0, 0);
  if (widest < previous) SendMessageA(hwnd_, WM_HSCROLL, MAKEWPARAM(SB_LEFT, 0), 0);
  SendMessageA(hwnd_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest), 0);
}

LRESULT TTextListBox::HandleSubclassed(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DROPFILES) {
    // The drop is finished as soon as its names are read.
    const std::vector<std::string> files = win32::TakeDroppedFiles(reinterpret_cast<HDROP>(wParam));
    if (onDropFiles) onDropFiles(files);
    return 0;
  }
  const LRESULT result = CallDefault(message, wParam, lParam);
  if (message == WM_SETFONT) {
    font_ = reinterpret_cast<HFONT>(wParam);
    UpdateScrollRange();
  }
  return result;
}

bool TTextListBox::OnReflected(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message != WM_COMMAND || HIWORD(wParam) != LBN_SELCHANGE) return false;
  result = 0;
  if (onClick) onClick();
  return true;
}

}  // namespace kavrin
