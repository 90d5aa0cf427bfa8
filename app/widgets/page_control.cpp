#include "app/widgets/page_control.hpp"

#include <commctrl.h>

#include "app/widgets/handler_dispatch.hpp"

namespace kavrin {

void TPageControl::Create(const Host& host, const CreateArgs& args) {
  // The pages are its children: WS_EX_CONTROLPARENT lets Tab reach into them.
  CreateChild(host, WC_TABCONTROLA, "", WS_VISIBLE | WS_TABSTOP | WS_GROUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
              WS_EX_CONTROLPARENT, args.bounds);
}

void TPageControl::AddSheet(TTabSheet& sheet, const std::string& caption) {
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  std::string text = caption;
  item.pszText = text.data();
  const auto index = static_cast<WPARAM>(sheets_.size());
  SendMessageA(hwnd_, TCM_INSERTITEMA, index, reinterpret_cast<LPARAM>(&item));

  const RECT area = PageArea();
  const Bounds bounds{area.left, area.top, area.right - area.left, area.bottom - area.top};
  // The area is in pixels already; the page's children scale at the control's dpi.
  sheet.CreateChild({hwnd_, font_}, ContainerClassName(), caption, WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, bounds);
  sheet.dpi_ = dpi_;
  sheets_.push_back(&sheet);
  ShowSelectedSheet();
}

RECT TPageControl::PageArea() const {
  RECT area{};
  GetClientRect(hwnd_, &area);
  SendMessageA(hwnd_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  return area;
}

// The tabs grow with the font, so the pages are fitted to the new area.
void TPageControl::Rescale(int dpi, HFONT font) {
  TControl::Rescale(dpi, font);
  const RECT area = PageArea();
  for (TTabSheet* sheet : sheets_) {
    SetWindowPos(sheet->Handle(), nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void TPageControl::SetActivePage(const TTabSheet& sheet) {
  for (size_t index = 0; index < sheets_.size(); ++index) {
    if (sheets_[index] == &sheet) SendMessageA(hwnd_, TCM_SETCURSEL, index, 0);
  }
  ShowSelectedSheet();
}

const TTabSheet* TPageControl::ActivePage() const {
  const auto index = SendMessageA(hwnd_, TCM_GETCURSEL, 0, 0);
  if (index < 0 || static_cast<size_t>(index) >= sheets_.size()) return nullptr;
  return sheets_[static_cast<size_t>(index)];
}

void TPageControl::SelectNextPage(bool forward) {
  const auto count = static_cast<LRESULT>(sheets_.size());
  if (count == 0) return;
  const LRESULT current = SendMessageA(hwnd_, TCM_GETCURSEL, 0, 0);
  const LRESULT next = ((current < 0 ? 0 : current) + (forward ? 1 : count - 1)) % count;
  SendMessageA(hwnd_, TCM_SETCURSEL, static_cast<WPARAM>(next), 0);
  ShowSelectedSheet();
  if (onChange) onChange();
}

void TPageControl::ShowSelectedSheet() {
  const TTabSheet* active = ActivePage();
  // A page that hides with the focus would leave the keyboard nowhere.
  HWND focus = GetFocus();
  for (TTabSheet* sheet : sheets_) {
    if (sheet != active && focus != nullptr && IsChild(sheet->Handle(), focus)) ::SetFocus(hwnd_);
  }
  // Show the new page before hiding the old one so the area never flashes empty.
  for (TTabSheet* sheet : sheets_) {
    // The analyzer takes `active` for possibly null; every sheet is one added by reference.
    // NOLINTNEXTLINE(clang-analyzer-core.CallAndMessage)
    if (sheet == active) sheet->SetVisible(true);
  }
  for (TTabSheet* sheet : sheets_) {
    if (sheet != active) sheet->SetVisible(false);
  }
}

bool TPageControl::OnReflected(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
  if (message != WM_NOTIFY || reinterpret_cast<const NMHDR*>(lParam)->code != TCN_SELCHANGE) return false;
  ShowSelectedSheet();
  result = 0;
  if (onChange) onChange();
  return true;
}

}  // namespace kavrin
