#include "app/widgets/select_directory.hpp"

#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "app/widgets/control.hpp"
#include "app/widgets/current_folder.hpp"
#include "app/widgets/dialog_template.hpp"
#include "app/widgets/handler_dispatch.hpp"
#include "core/dpi_scale.hpp"
#include "core/path_rules.hpp"
#include "core/text.hpp"
#include "core/widget_rules.hpp"
#include "platform/win32/unique_resource.hpp"
#include "platform/win32/win32_dpi.hpp"

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

// A typed folder name that is relative lies inside `base`; one that starts
// with "\" at the root of `base`. Absolute names stay as they were typed.
std::string InsideFolder(const std::string& base, const std::string& name) {
  if (name.empty() || StartsWithDrive(name) || name.rfind("\\\\", 0) == 0) return name;
  const std::string joined = name[0] == '\\' ? WithTrailingDelimiter(base.substr(0, RootLength(base))) + name.substr(1)
                                             : WithTrailingDelimiter(base) + name;
  // An absolute path does not depend on the current folder; ".." parts go.
  return FullPath(joined);
}

bool SortsBefore(const std::string& a, const std::string& b) {
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_LESS_THAN;
}

// What a folder holds, as the dialog lists it: no hidden or system entries.
struct FolderContents {
  std::vector<std::string> folders;
  std::vector<std::string> files;
};

// False when the folder cannot be opened; an empty drive can.
// False when the folder cannot be opened; an empty drive can.
bool ReadFolder(Folders& system, const std::string& folder, FolderContents& contents) {
  if (!system.ReadFolder(folder, contents.folders, contents.files)) return false;
  std::sort(contents.folders.begin(), contents.folders.end(), SortsBefore);
  return true;
}

// The tree's icons and the step from one level to the next, at 96 dpi.
constexpr int kIconSize = 16;
constexpr int kIndent = 10;

// A folder icon on a 16 by 16 grid, drawn at `size` pixels: closed, or open
// with its front leaning back. Drawn rather than loaded so that it scales.
void DrawFolderIcon(HDC dc, POINT origin, int size, bool open) {
  const auto at = [&](int x, int y) { return POINT{origin.x + MulDiv(x, size, 16), origin.y + MulDiv(y, size, 16)}; };
  const win32::UniqueGdiObject<HPEN> pen(CreatePen(PS_SOLID, std::max(1, size / 16), RGB(136, 98, 16)));
  const win32::UniqueGdiObject<HBRUSH> back(CreateSolidBrush(RGB(226, 170, 48)));
  const win32::UniqueGdiObject<HBRUSH> front(CreateSolidBrush(RGB(255, 214, 98)));
  const win32::Selection selectPen = win32::SelectInto(dc, pen.Get());
  {
    const win32::Selection selectBrush = win32::SelectInto(dc, back.Get());
    const int right = open ? 13 : 15;
    const POINT shape[] = {at(0, 2), at(5, 2), at(7, 4), at(right, 4), at(right, 13), at(0, 13)};
    Polygon(dc, shape, 6);
  }
  const win32::Selection selectBrush = win32::SelectInto(dc, front.Get());
  if (open) {
    const POINT flap[] = {at(3, 7), at(15, 7), at(12, 13), at(0, 13)};
    Polygon(dc, flap, 4);
  } else {
    const POINT flap[] = {at(0, 5), at(15, 5), at(15, 13), at(0, 13)};
    Polygon(dc, flap, 4);
  }
}

// Sent to the dialog by the folder tree: open the selected folder, or go up.
constexpr UINT kOpenSelected = WM_APP + 1;
constexpr UINT kGoUp = WM_APP + 2;
// Posted to the dialog after a dpi change, once the system has given the
// tree its new font.
constexpr UINT kFitTree = WM_APP + 3;

// The folder tree answers a tree's keys: Enter and Right open the selected
// folder, as a double click does (Enter does not press the default button),
// Left and Backspace go up a level.
LRESULT CALLBACK FolderTreeKeys(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  switch (message) {
    case WM_GETDLGCODE:
      if (const auto* key = reinterpret_cast<const MSG*>(lParam);
          key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) {
        return DLGC_WANTMESSAGE;
      }
      break;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN || wParam == VK_RIGHT) {
        SendMessageA(GetParent(list), kOpenSelected, 0, 0);
        return 0;
      }
      if (wParam == VK_LEFT || wParam == VK_BACK) {
        SendMessageA(GetParent(list), kGoUp, 0, 0);
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == '\r' || wParam == '\b') return 0;  // no search for a line starting with it
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(list, &FolderTreeKeys, 0);
      break;
    default:
      break;
  }
  return DefSubclassProc(list, message, wParam, lParam);
}

class SelectDirDialog {
 public:
  SelectDirDialog(std::string folder, const SelectDirOptions& options, Folders& folders)
      : folder_(std::move(folder)), options_(options), folders_(folders), connect_(NetworkConnectionDialog()) {}

  bool Run(HWND owner) {
    DialogTemplate dialog(kCaption, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, 262, 186);
    dialog.AddItem(kNameLabel, kStaticAtom, "Directory &Name:", SS_LEFT, 8, 6, 140, 8);
    const DWORD nameStyle =
        options_.allowCreate ? (WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL) : (SS_LEFT | SS_PATHELLIPSIS | SS_NOPREFIX);
    dialog.AddItem(kName, options_.allowCreate ? kEditAtom : kStaticAtom, "", nameStyle, 8, 16, 246, 12);
    dialog.AddItem(kFoldersLabel, kStaticAtom, "&Directories:", SS_LEFT, 8, 34, 120, 8);
    // Unsorted: the tree's order is its own. The item data is a line's level.
    dialog.AddItem(
        kFolders, kListBoxAtom, "",
        WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS,
        8, 44, 122, 104);
    dialog.AddItem(kFilesLabel, kStaticAtom, "&Files: (*.*)", SS_LEFT, 136, 34, 118, 8);
    // It ends above OK.
    dialog.AddItem(kFiles, kListBoxAtom, "", WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_SORT | LBS_NOINTEGRALHEIGHT, 136,
                   44, 118, 96);
    dialog.AddItem(kDrivesLabel, kStaticAtom, "D&rives:", SS_LEFT, 8, 152, 120, 8);
    dialog.AddItem(kDrives, kComboBoxAtom, "", WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST | CBS_SORT, 8, 162, 122, 80);
    if (connect_ != nullptr) dialog.AddItem(kNetwork, kButtonAtom, "Ne&twork...", WS_TABSTOP, 136, 162, 54, 14);
    dialog.AddItem(IDOK, kButtonAtom, "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 200, 144, 54, 14);
    dialog.AddItem(IDCANCEL, kButtonAtom, "Cancel", WS_TABSTOP, 200, 162, 54, 14);
    const CurrentFolderGuard keep(folders_);
    return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), dialog.Get(), owner, &SelectDirDialog::Proc,
                                   reinterpret_cast<LPARAM>(this)) == IDOK;
  }

  const std::string& Folder() const { return folder_; }

 private:
  // One line of the folder tree.
  struct TreeLine {
    std::string path;
    int level;
    bool open;  // the root and the folders down to the current one
  };

  // An entry procedure (app/widgets/handler_dispatch.hpp).
  static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    auto* self = reinterpret_cast<SelectDirDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (self == nullptr) return FALSE;
    if (message == WM_INITDIALOG) self->dialog_ = dialog;
    INT_PTR result = FALSE;
    RunHandler(dialog, [&] { result = self->HandleMessage(message, wParam, lParam); });
    return result;
  }

  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_INITDIALOG:
        PrepareTree();
        OpenStart();
        return TRUE;
      case WM_DRAWITEM:
        if (wParam != kFolders) return FALSE;
        DrawTreeLine(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
      case WM_COMMAND:
        Command(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
      case kOpenSelected:
        if (const TreeLine* line = SelectedLine()) Show(std::string(line->path));
        return TRUE;
      case kGoUp:
        GoUp();
        return TRUE;
      case kDpiChangedMessage:
        dpi_ = HIWORD(wParam);
        PostMessageA(dialog_, kFitTree, 0, 0);
        return FALSE;  // the system lays the dialog out again
      case kFitTree:
        FitTree();
        return TRUE;
      default:
        return FALSE;
    }
  }

  HWND Tree() const { return GetDlgItem(dialog_, kFolders); }

  // To the parent of the folder the tree is open at: the line above it.
  void GoUp() {
    const auto open = std::count_if(lines_.begin(), lines_.end(), [](const TreeLine& line) { return line.open; });
    if (open >= 2) Show(std::string(lines_[static_cast<size_t>(open) - 2].path));
  }

  void PrepareTree() {
    SetWindowSubclass(Tree(), &FolderTreeKeys, 0, 0);
    dpi_ = win32::WindowDpi(dialog_);
    FitTree();
  }

  // Rows as high as the tree's font or the icon at the dialog's dpi, and the
  // tree as high as its whole rows: the last one shown is never cut.
  void FitTree() {
    HWND tree = Tree();
    const int iconSize = ScaleToDpi(kIconSize, dpi_);
    const win32::WindowDc dc = win32::GetWindowDc(tree);
    const win32::Selection font =
        win32::SelectInto(dc.Get().dc, reinterpret_cast<HGDIOBJ>(SendMessageA(tree, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc.Get().dc, &metrics);
    const int height = std::max<int>(metrics.tmHeight, iconSize) + ScaleToDpi(2, dpi_);
    SendMessageA(tree, LB_SETITEMHEIGHT, 0, MAKELPARAM(height, 0));
    RECT frame{};
    RECT client{};
    GetWindowRect(tree, &frame);
    GetClientRect(tree, &client);
    const LONG rows = std::max<LONG>(1, client.bottom / height);
    SetWindowPos(tree, nullptr, 0, 0, frame.right - frame.left,
                 frame.bottom - frame.top - client.bottom + rows * height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(tree, nullptr, TRUE);
  }

  // At the given folder when it is an absolute path on a drive that can be
  // opened; at the process's current folder otherwise.
  void OpenStart() {
    const std::string start = FullPath(folder_);
    if (!StartsWithDrive(start) || !Show(start)) Show(folders_.CurrentFolder());
  }

  // Shows the folder in the tree, its files and the drives, and names it.
  // False, with nothing changed, when the folder cannot be opened; a drive's
  // root that cannot be read (no disc, no card) shows as an empty tree. The
  // process's current folder stays where it is.
  bool Show(const std::string& folder, bool emptyIfUnreadable = false) {
    FolderContents contents;
    if (folder.empty()) return false;
    if (!ReadFolder(folders_, folder, contents)) {
      if (!emptyIfUnreadable) return false;
      contents = {};
    }
    lines_.clear();
    for (const std::string& path : FoldersOnPath(folder)) {
      lines_.push_back({path, static_cast<int>(lines_.size()), true});
    }
    current_ = lines_.back().path;
    const int below = static_cast<int>(lines_.size());
    for (const std::string& name : contents.folders) {
      lines_.push_back({WithTrailingDelimiter(current_) + name, below, false});
    }

    HWND tree = Tree();
    SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
    SendMessageA(tree, LB_RESETCONTENT, 0, 0);
    for (size_t index = 0; index < lines_.size(); ++index) {
      const std::string text = LineText(index);
      const LRESULT added = SendMessageA(tree, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
      SendMessageA(tree, LB_SETITEMDATA, static_cast<WPARAM>(added), lines_[index].level);
    }
    SendMessageA(tree, LB_SETCURSEL, static_cast<WPARAM>(below - 1), 0);
    SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(tree, nullptr, TRUE);

    ShowFiles(contents.files);
    ShowDrives();
    SetDlgItemTextA(dialog_, kName, current_.c_str());
    named_ = current_;
    return true;
  }

  // The folder's files, greyed as the tree's selection has them.
  void ShowFiles(const std::vector<std::string>& names) {
    HWND files = GetDlgItem(dialog_, kFiles);
    SendMessageA(files, WM_SETREDRAW, FALSE, 0);
    SendMessageA(files, LB_RESETCONTENT, 0, 0);
    for (const std::string& name : names) SendMessageA(files, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageA(files, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(files, nullptr, TRUE);
  }

  // The drives as the system names them: "C:". None is read.
  void ShowDrives() {
    HWND drives = GetDlgItem(dialog_, kDrives);
    SendMessageA(drives, CB_RESETCONTENT, 0, 0);
    const DWORD mask = GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
      if ((mask & (1u << letter)) == 0) continue;
      const char drive[] = {static_cast<char>('A' + letter), ':', '\0'};
      SendMessageA(drives, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(drive));
    }
    if (StartsWithDrive(current_)) {
      const char drive[] = {static_cast<char>(current_[0] & ~0x20), ':', '\0'};
      SendMessageA(drives, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(drive));
    }
  }

  void DrawTreeLine(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    FillRect(dc, &item.rcItem, GetSysColorBrush(COLOR_WINDOW));
    if (item.itemID >= lines_.size()) return;
    const TreeLine& line = lines_[item.itemID];
    const int iconSize = ScaleToDpi(kIconSize, dpi_);
    const int iconLeft = item.rcItem.left + ScaleToDpi(2 + kIndent * line.level, dpi_);
    const int height = item.rcItem.bottom - item.rcItem.top;
    DrawFolderIcon(dc, {iconLeft, item.rcItem.top + (height - iconSize) / 2}, iconSize, line.open);

    const std::string text = LineText(item.itemID);
    const int gap = ScaleToDpi(2, dpi_);
    // The name is highlighted to the line's end: a box measured to the text
    // would cut its last letter where the drawn glyphs run wider than measured.
    const RECT label{iconLeft + iconSize + gap, item.rcItem.top, item.rcItem.right, item.rcItem.bottom};
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &label, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT textBox{label.left + gap, label.top, label.right, label.bottom};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &textBox,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) DrawFocusRect(dc, &label);
  }

  // The root in full, every other folder by its name.
  std::string LineText(size_t index) const {
    return index == 0 ? lines_[index].path : ExtractFileName(lines_[index].path);
  }

  const TreeLine* SelectedLine() const {
    const LRESULT index = SendMessageA(Tree(), LB_GETCURSEL, 0, 0);
    return index >= 0 && static_cast<size_t>(index) < lines_.size() ? &lines_[static_cast<size_t>(index)] : nullptr;
  }

  // The drive selected in the drive list: "C:".
  std::string SelectedDrive() const {
    const LRESULT index = SendDlgItemMessageA(dialog_, kDrives, CB_GETCURSEL, 0, 0);
    char drive[8] = {};
    if (index == CB_ERR || SendDlgItemMessageA(dialog_, kDrives, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0) != 2) {
      return std::string();
    }
    SendDlgItemMessageA(dialog_, kDrives, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(drive));
    return drive;
  }

  void Command(WORD id, WORD code) {
    switch (id) {
      case kFolders:
        if (const TreeLine* line = SelectedLine()) {
          // A click names the folder, so that OK takes what is selected; a
          // double click or Enter opens it.
          if (code == LBN_SELCHANGE) {
            SetDlgItemTextA(dialog_, kName, line->path.c_str());
            named_ = line->path;
          } else if (code == LBN_DBLCLK) {
            Show(std::string(line->path));  // a copy: the lines are rebuilt
          }
        }
        break;
      case kDrives:
        if (code == CBN_SELCHANGE) {
          const std::string drive = SelectedDrive();
          if (!drive.empty()) Show(WithTrailingDelimiter(drive), true);
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
    const std::string chosen = options_.allowCreate ? InsideFolder(current_, ItemText(dialog_, kName)) : named_;
    if (options_.prompt && !folders_.NamesExistingFolder(chosen) &&
        MessageBoxA(dialog_, kCreateQuestion, "Confirm", MB_YESNO | MB_ICONQUESTION) != IDYES) {
      return;
    }
    folder_ = chosen;
    EndDialog(dialog_, IDOK);
  }

  std::string folder_;
  SelectDirOptions options_;
  Folders& folders_;
  ConnectionDialog connect_;
  HWND dialog_ = nullptr;
  std::string current_;  // the folder the tree is open at
  std::string named_;    // the folder the name line shows
  std::vector<TreeLine> lines_;
  int dpi_ = kDesignDpi;
};

}  // namespace

bool SelectDirectory(HWND owner, std::string& folder, const SelectDirOptions& options, Folders& folders) {
  SelectDirDialog dialog(folder, options, folders);
  if (!dialog.Run(owner)) return false;
  folder = dialog.Folder();
  // The folder and its missing parents; a failure is not reported.
  if (options.performCreate && !folder.empty() && !folders.NamesExistingFolder(folder)) {
    const auto exists = [&folders](const std::string& path) { return folders.NamesExistingFolder(path); };
    for (const std::string& missing : MissingFolders(folder, exists)) {
      if (!folders.CreateFolder(missing)) break;
    }
  }
  return true;
}

}  // namespace kavrin
