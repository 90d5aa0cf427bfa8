#include "app/widgets/open_dialog.hpp"

#include <commdlg.h>

#include "app/widgets/current_folder.hpp"
#include "core/widget_rules.hpp"

namespace kavrin {

namespace {

// Room for a long multiple selection; the system reports a buffer that is too
// small instead of cutting the names.
constexpr DWORD kMultiSelectBuffer = 1 << 20;
constexpr DWORD kSingleBuffer = 32768;

// comdlg32 is loaded with the first dialog rather than with the program:
// under Wine it and what it brings cost a good part of the start-up. It
// stays loaded.
BOOL ShowOpenDialog(OPENFILENAMEA& dialog) {
  using Call = BOOL(WINAPI*)(OPENFILENAMEA*);
  static const Call call = [] {
    HMODULE dialogs = LoadLibraryA("comdlg32.dll");
    return dialogs != nullptr
               ? reinterpret_cast<Call>(reinterpret_cast<void (*)()>(GetProcAddress(dialogs, "GetOpenFileNameA")))
               : nullptr;
  }();
  return call != nullptr && call(&dialog);
}

}  // namespace

bool TOpenDialog::Execute(HWND owner) {
  const std::string packedFilter = DialogFilter(filter);
  const std::string extension = DialogDefaultExtension(defaultExt);
  std::string buffer(allowMultiSelect ? kMultiSelectBuffer : kSingleBuffer, '\0');
  fileName.copy(buffer.data(), buffer.size() - 2);

  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.empty() ? nullptr : packedFilter.c_str();
  dialog.nFilterIndex = static_cast<DWORD>(filterIndex);
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = static_cast<DWORD>(buffer.size());
  dialog.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
  dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
  dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  dialog.Flags = OFN_EXPLORER | (hideReadOnly ? OFN_HIDEREADONLY : 0) | (allowMultiSelect ? OFN_ALLOWMULTISELECT : 0) |
                 (extensionDifferent ? OFN_EXTENSIONDIFFERENT : 0) | (enableSizing ? OFN_ENABLESIZING : 0);
  const CurrentFolderGuard keep(folders_);
  if (!ShowOpenDialog(dialog)) return false;

  filterIndex = static_cast<int>(dialog.nFilterIndex);
  files_ = DialogFiles(buffer);
  fileName = files_.empty() ? std::string() : files_.front();
  return !files_.empty();
}

}  // namespace kavrin
