#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

namespace kavrin {

// The predefined classes a dialog item names by atom.
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kEditAtom = 0x0081;
constexpr WORD kStaticAtom = 0x0082;
constexpr WORD kListBoxAtom = 0x0083;
constexpr WORD kComboBoxAtom = 0x0085;

// A dialog template built in memory: DLGTEMPLATE, then DLGITEMTEMPLATEs, each
// on a DWORD boundary, texts in UTF-16 as the system reads them.
class DialogTemplate {
 public:
  DialogTemplate(const char* caption, DWORD style, short width, short height);

  void AddItem(WORD id, WORD classAtom, const char* text, DWORD style, short x, short y, short cx, short cy);

  const DLGTEMPLATE* Get() { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Add32(DWORD value);
  void AddText(const char* text);

  std::vector<WORD> words_;
  size_t count_ = 0;
};

}  // namespace kavrin
