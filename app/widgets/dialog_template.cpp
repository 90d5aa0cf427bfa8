#include "app/widgets/dialog_template.hpp"

namespace kavrin {

DialogTemplate::DialogTemplate(const char* caption, DWORD style, short width, short height) {
  Add32(style | DS_SETFONT);
  Add32(0);  // extended style
  count_ = words_.size();
  words_.push_back(0);  // item count, filled in below
  for (short value : {short(0), short(0), width, height}) words_.push_back(static_cast<WORD>(value));
  words_.push_back(0);  // no menu
  words_.push_back(0);  // the standard dialog class
  AddText(caption);
  words_.push_back(8);  // point size
  AddText("MS Sans Serif");
}

void DialogTemplate::AddItem(WORD id, WORD classAtom, const char* text, DWORD style, short x, short y, short cx,
                             short cy) {
  if (words_.size() % 2 != 0) words_.push_back(0);
  Add32(style | WS_CHILD | WS_VISIBLE);
  Add32(0);
  for (short value : {x, y, cx, cy}) words_.push_back(static_cast<WORD>(value));
  words_.push_back(id);
  words_.push_back(0xFFFF);
  words_.push_back(classAtom);
  AddText(text);
  words_.push_back(0);  // no creation data
  ++words_[count_];
}

void DialogTemplate::Add32(DWORD value) {
  words_.push_back(LOWORD(value));
  words_.push_back(HIWORD(value));
}

void DialogTemplate::AddText(const char* text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  std::vector<wchar_t> wide(static_cast<size_t>(length > 0 ? length : 1), L'\0');
  if (length > 0) MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
  for (wchar_t c : wide) words_.push_back(static_cast<WORD>(c));
}

}  // namespace kavrin
