#include "app/select_directory.hpp"

#include <utility>
#include <vector>

#include "app/current_folder.hpp"
#include "platform/text.hpp"
#include "platform/widget_rules.hpp"

namespace kavrin {

namespace {

enum ControlId : WORD {
  kNameLabel = 100,
  kName,
  kFoldersLabel,
  kFolders,
  kFilesLabel,
  kFiles,
  kDrivesLabel,
  kDrives,
  kNetwork,
};

constexpr const char* kCaption = "Select Directory";
constexpr const char* kCreateQuestion = "The specified directory does not exist. Create it?";
// The list functions rewrite the path they are given; room for any path.
constexpr size_t kPathRoom = 32768;

// A dialog template built in memory: DLGTEMPLATE, then DLGITEMTEMPLATEs, each
// on a DWORD boundary, texts in UTF-16 as the system reads them.
class DialogTemplate {
 public:
  DialogTemplate(const char* caption, DWORD style, short width, short height) {
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

  void AddItem(WORD id, WORD classAtom, const char* text, DWORD style, short x, short y, short cx, short cy) {
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

  const DLGTEMPLATE* Get() { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Add32(DWORD value) {
    words_.push_back(LOWORD(value));
    words_.push_back(HIWORD(value));
  }
  void AddText(const char* text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::vector<wchar_t> wide(static_cast<size_t>(length > 0 ? length : 1), L'\0');
    if (length > 0) MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    for (wchar_t c : wide) words_.push_back(static_cast<WORD>(c));
  }

  std::vector<WORD> words_;
  size_t count_ = 0;
};

constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kEditAtom = 0x0081;
constexpr WORD kStaticAtom = 0x0082;
constexpr WORD kListBoxAtom = 0x0083;
constexpr WORD kComboBoxAtom = 0x0085;

using ConnectionDialog = DWORD(APIENTRY*)(HWND, DWORD);
constexpr DWORD kDiskResources = 1;  // RESOURCETYPE_DISK

// The system's network connection dialog, when it has one.
ConnectionDialog NetworkConnectionDialog() {
  if ((GetSystemMetrics(SM_NETWORK) & 1) == 0) return nullptr;
  HMODULE network = LoadLibraryA("mpr.dll");
  if (network == nullptr) return nullptr;
  // Kept loaded: the dialog may be offered again.
  return reinterpret_cast<ConnectionDialog>(reinterpret_cast<void*>(GetProcAddress(network, "WNetConnectionDialog")));
}

std::string ItemText(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  const int length = GetWindowTextLengthA(item);
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(item, text.data(), length + 1)));
  return text;
}

std::string FullPath(const std::string& path) {
  const DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::string full(needed, '\0');
  const DWORD written = GetFullPathNameA(path.c_str(), needed, full.data(), nullptr);
  full.resize(written < needed ? written : 0);
  return full.empty() ? path : full;
}

bool StartsWithDrive(const std::string& path) {
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

class SelectDirDialog {
 public:
  SelectDirDialog(std::string folder, const SelectDirOptions& options)
      : folder_(std::move(folder)), options_(options), connect_(NetworkConnectionDialog()) {}

  bool Run(HWND owner) {
    DialogTemplate dialog(kCaption, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, 262, 186);
    dialog.AddItem(kNameLabel, kStaticAtom, "Directory &Name:", SS_LEFT, 8, 6, 140, 8);
    const DWORD nameStyle =
        options_.allowCreate ? (WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL) : (SS_LEFT | SS_PATHELLIPSIS | SS_NOPREFIX);
    dialog.AddItem(kName, options_.allowCreate ? kEditAtom : kStaticAtom, "", nameStyle, 8, 16, 246, 12);
    dialog.AddItem(kFoldersLabel, kStaticAtom, "&Directories:", SS_LEFT, 8, 34, 120, 8);
    dialog.AddItem(kFolders, kListBoxAtom, "",
                   WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 8, 44, 122, 104);
    dialog.AddItem(kFilesLabel, kStaticAtom, "&Files: (*.*)", SS_LEFT, 136, 34, 118, 8);
    dialog.AddItem(kFiles, kListBoxAtom, "", WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_SORT | LBS_NOINTEGRALHEIGHT, 136,
                   44, 118, 104);
    dialog.AddItem(kDrivesLabel, kStaticAtom, "D&rives:", SS_LEFT, 8, 152, 120, 8);
    dialog.AddItem(kDrives, kComboBoxAtom, "", WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST | CBS_SORT, 8, 162, 122, 80);
    if (connect_ != nullptr) dialog.AddItem(kNetwork, kButtonAtom, "Ne&twork...", WS_TABSTOP, 136, 162, 54, 14);
    dialog.AddItem(IDOK, kButtonAtom, "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 200, 144, 54, 14);
    dialog.AddItem(IDCANCEL, kButtonAtom, "Cancel", WS_TABSTOP, 200, 162, 54, 14);
    const CurrentFolderGuard keep;
    return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), dialog.Get(), owner, &SelectDirDialog::Proc,
                                   reinterpret_cast<LPARAM>(this)) == IDOK;
  }

  const std::string& Folder() const { return folder_; }

 private:
  static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    auto* self = reinterpret_cast<SelectDirDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (self == nullptr) return FALSE;
    switch (message) {
      case WM_INITDIALOG:
        self->dialog_ = dialog;
        self->OpenStart();
        return TRUE;
      case WM_COMMAND:
        self->Command(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
      default:
        return FALSE;
    }
  }

  // At the given folder when it is an absolute path on a drive that can be
  // opened; at the process's current folder otherwise.
  void OpenStart() {
    const std::string start = FullPath(folder_);
    if (!StartsWithDrive(start) || !Show(start)) Show(CurrentFolder());
  }

  // Lists the folder's subfolders, its files and the drives. False, with
  // nothing changed, when the folder cannot be opened.
  bool Show(const std::string& folder) {
    const std::string pattern = WithTrailingDelimiter(folder) + "*.*";
    std::string path = pattern;
    path.resize(kPathRoom, '\0');
    if (!DlgDirListA(dialog_, path.data(), kFolders, 0, DDL_DIRECTORY | DDL_EXCLUSIVE)) return false;
    current_ = CurrentFolder();
    path = pattern;
    path.resize(kPathRoom, '\0');
    DlgDirListA(dialog_, path.data(), kFiles, 0, DDL_READWRITE | DDL_READONLY | DDL_ARCHIVE);
    ShowDrives();
    SetDlgItemTextA(dialog_, kName, current_.c_str());
    return true;
  }

  void ShowDrives() {
    std::string path = WithTrailingDelimiter(current_) + "*.*";
    path.resize(kPathRoom, '\0');
    DlgDirListComboBoxA(dialog_, path.data(), kDrives, 0, DDL_DRIVES | DDL_EXCLUSIVE);
    if (StartsWithDrive(current_)) {
      const char drive[] = {'[', '-', static_cast<char>(current_[0] | 0x20), '-', '\0'};
      SendDlgItemMessageA(dialog_, kDrives, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(drive));
    }
  }

  // The folder or drive selected in a list, as the system words it: "name\", "..\", "c:".
  std::string Selected(int id, bool comboBox) const {
    std::string chosen(kPathRoom, '\0');
    const BOOL folder = comboBox ? DlgDirSelectComboBoxExA(dialog_, chosen.data(), static_cast<int>(chosen.size()), id)
                                 : DlgDirSelectExA(dialog_, chosen.data(), static_cast<int>(chosen.size()), id);
    if (!folder) return std::string();
    chosen.resize(chosen.find('\0'));
    return chosen;
  }

  void Command(WORD id, WORD code) {
    switch (id) {
      case kFolders:
        if (code == LBN_DBLCLK) {
          const std::string chosen = Selected(kFolders, false);
          if (!chosen.empty()) Show(FullPath(WithTrailingDelimiter(current_) + chosen));
        }
        break;
      case kDrives:
        if (code == CBN_SELCHANGE) {
          const std::string drive = Selected(kDrives, true);
          // A drive that cannot be opened leaves the dialog where it was.
          if (drive.empty() || !Show(WithTrailingDelimiter(drive))) Show(current_);
        }
        break;
      case kNetwork:
        if (code == BN_CLICKED && connect_ != nullptr) {
          connect_(dialog_, kDiskResources);
          ShowDrives();
        }
        break;
      case IDOK:
        if (code == BN_CLICKED) Accept();
        break;
      case IDCANCEL:
        if (code == BN_CLICKED) EndDialog(dialog_, IDCANCEL);
        break;
      default:
        break;
    }
  }

  void Accept() {
    const std::string chosen = options_.allowCreate ? ItemText(dialog_, kName) : current_;
    if (options_.prompt && !NamesExistingFolder(chosen) &&
        MessageBoxA(dialog_, kCreateQuestion, "Confirm", MB_YESNO | MB_ICONQUESTION) != IDYES) {
      return;
    }
    folder_ = chosen;
    EndDialog(dialog_, IDOK);
  }

  std::string folder_;
  SelectDirOptions options_;
  ConnectionDialog connect_;
  HWND dialog_ = nullptr;
  std::string current_;
};

}  // namespace

bool NamesExistingFolder(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void ForceDirectories(const std::string& folder) {
  for (const std::string& missing : MissingFolders(folder, NamesExistingFolder)) {
    if (!CreateDirectoryA(missing.c_str(), nullptr)) return;
  }
}

bool SelectDirectory(HWND owner, std::string& folder, const SelectDirOptions& options) {
  SelectDirDialog dialog(folder, options);
  if (!dialog.Run(owner)) return false;
  folder = dialog.Folder();
  if (options.performCreate && !folder.empty() && !NamesExistingFolder(folder)) ForceDirectories(folder);
  return true;
}

}  // namespace kavrin
