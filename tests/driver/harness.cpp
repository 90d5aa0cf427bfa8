#include "harness.hpp"

#include <commctrl.h>
#include <commdlg.h>
#include <oleacc.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <string_view>

#include "core/text.hpp"
#include "integration/test_files.hpp"
#include "platform/win32/win32_profile.hpp"

namespace kavrin::e2e {
namespace {

constexpr UINT kSendBoundMs = 5000;

bool SendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result) {
  return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendBoundMs, &result) != 0;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

char* At(const win32::RemoteMemory& memory, size_t offset) { return static_cast<char*>(memory.Get().address) + offset; }

}  // namespace

std::string WindowsPath(const std::string& path) {
  std::string result = path;
  std::replace(result.begin(), result.end(), '/', '\\');
  if (!path.empty() && path[0] == '/') result = "Z:" + result;
  return result;
}

std::string KavrinExePath() {
  const std::string_view option = "--kavrin=";
  for (int i = 1; i < __argc; ++i) {
    const std::string_view argument = __argv[i];
    if (argument.substr(0, option.size()) == option) return WindowsPath(std::string(argument.substr(option.size())));
  }
  // tests\driver\e2e_tests.exe lies two folders below kavrin.exe in the build.
  return ExtractFileDir(ExtractFileDir(ExtractFileDir(win32::Win32ProgramLocation().ExecutablePath()))) +
         "\\kavrin.exe";
}

win32::RemoteMemory LendMemory(HANDLE process, size_t size) {
  return win32::RemoteMemory(
      {process, VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)});
}

bool ReadRemote(const win32::RemoteMemory& memory, void* data, size_t size, size_t offset) {
  return ReadProcessMemory(memory.Get().process, At(memory, offset), data, size, nullptr) != 0;
}

bool WriteRemote(const win32::RemoteMemory& memory, const void* data, size_t size, size_t offset) {
  return WriteProcessMemory(memory.Get().process, At(memory, offset), data, size, nullptr) != 0;
}

TempFolder::TempFolder() {
  const DWORD needed = GetTempPathA(0, nullptr);
  std::string base(needed, '\0');
  base.resize(GetTempPathA(needed, base.data()));
  static std::atomic<unsigned> counter{0};
  for (;;) {
    path_ = base + "kavrin-e2e-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount()) + "-" +
            std::to_string(++counter);
    if (CreateDirectoryA(path_.c_str(), nullptr)) return;
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
      ADD_FAILURE() << "could not create the test folder " << path_ << ": error " << GetLastError();
      return;
    }
  }
}

TempFolder::~TempFolder() { win32::RemoveTree(path_); }

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadFileBytes(const std::string& path) {
  UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::string();
  std::string bytes;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(file.Get(), chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
  return bytes;
}

std::vector<std::string> TextLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  UniqueHandle file(
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

bool SetReadOnly(const std::string& path, bool readOnly) {
  return SetFileAttributesA(path.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL) != 0;
}

const IniEntry* IniFile::Find(const std::string& section, const std::string& key) const {
  for (const IniEntry& entry : entries) {
    if (EqualNoCase(entry.section, section) && EqualNoCase(entry.key, key)) return &entry;
  }
  return nullptr;
}

IniFile ParseIni(const std::string& bytes) {
  IniFile ini;
  std::string section;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.front() == '[') {
      const auto close = line.find(']');
      section = line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
      ini.sections.push_back(section);
    } else if (const auto equals = line.find('='); equals != std::string::npos && line.front() != ';') {
      ini.entries.push_back({section, line.substr(0, equals), line.substr(equals + 1)});
    }
  }
  return ini;
}

std::vector<HWND> TopLevelWindows(DWORD processId) {
  struct Search {
    DWORD processId;
    std::vector<HWND> found;
  } search{processId, {}};
  EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(context);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s.processId) s.found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string DescribeWindows(DWORD processId) {
  std::string text;
  for (HWND window : TopLevelWindows(processId)) {
    if (!IsShown(window)) continue;
    if (!text.empty()) text += ", ";
    text += ClassOf(window) + " \"" + TextOf(window) + "\"";
    if (ClassOf(window) == "#32770") text += " saying \"" + MessageBoxText(window) + "\"";
  }
  return text.empty() ? "no visible windows" : text;
}

HWND FindTopLevel(DWORD processId, const std::string& className, const std::string& caption) {
  for (HWND window : TopLevelWindows(processId)) {
    if (ClassOf(window) == className && TextOf(window) == caption) return window;
  }
  return nullptr;
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM context) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND FindControl(HWND parent, const std::string& className, const std::string& text) {
  for (HWND window : Descendants(parent)) {
    if (EqualNoCase(ClassOf(window), className) && TextOf(window) == text) return window;
  }
  return nullptr;
}

std::vector<HWND> FindControls(HWND parent, const std::string& className) {
  std::vector<HWND> found;
  for (HWND window : Descendants(parent)) {
    if (EqualNoCase(ClassOf(window), className)) found.push_back(window);
  }
  return found;
}

HWND FindLabel(HWND parent, const std::string& text) {
  if (HWND label = FindControl(parent, "Static", text)) return label;
  return FindControl(parent, "Button", text);
}

std::vector<HWND> EditsRightOf(HWND label) {
  // Only the label's own page counts: a hidden tab page may hold an edit in
  // the same screen row.
  const RECT labelRect = ScreenRect(label);
  const LONG row = (labelRect.top + labelRect.bottom) / 2;
  const bool shown = IsShown(label);
  std::vector<std::pair<LONG, HWND>> edits;
  for (HWND edit : FindControls(GetParent(label), "Edit")) {
    const RECT rect = ScreenRect(edit);
    if (rect.top <= row && row < rect.bottom && rect.left >= labelRect.right && IsShown(edit) == shown) {
      edits.emplace_back(rect.left, edit);
    }
  }
  std::sort(edits.begin(), edits.end());
  std::vector<HWND> result;
  for (const auto& edit : edits) result.push_back(edit.second);
  return result;
}

std::string ClassOf(HWND window) {
  // Window class names are at most 256 characters.
  char name[257] = {};
  const int length = GetClassNameA(window, name, sizeof name);
  return std::string(name, length > 0 ? length : 0);
}

std::string TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendBounded(window, WM_GETTEXTLENGTH, 0, 0, length)) return std::string();
  std::string text(length + 1, '\0');
  DWORD_PTR copied = 0;
  if (!SendBounded(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), copied)) {
    return std::string();
  }
  text.resize(std::min<DWORD_PTR>(copied, length));
  return text;
}

bool IsChecked(HWND button) {
  DWORD_PTR state = 0;
  return SendBounded(button, BM_GETCHECK, 0, 0, state) && state == BST_CHECKED;
}

bool IsEnabled(HWND window) { return IsWindowEnabled(window) != FALSE; }

bool IsShown(HWND window) { return IsWindowVisible(window) != FALSE; }

LONG_PTR StyleOf(HWND window) { return GetWindowLongPtrA(window, GWL_STYLE); }

RECT ScreenRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

RECT RectInParent(HWND window) {
  RECT rect = ScreenRect(window);
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

SIZE ClientSize(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

void Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

void ClickAt(HWND window, POINT client) {
  const LPARAM where = MAKELPARAM(client.x, client.y);
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
  PostMessageA(window, WM_LBUTTONUP, 0, where);
}

bool SetText(HWND window, const std::string& text) {
  DWORD_PTR result = 0;
  return SendBounded(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), result) && result != 0;
}

void ClickOnScreen(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  INPUT inputs[2] = {};
  for (INPUT& input : inputs) input.type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, inputs, sizeof(INPUT));
}

POINT CentreOf(HWND window) {
  const RECT rect = ScreenRect(window);
  return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

namespace {

// Lines are read as UTF-16: Wine copies them across processes in that form
// even for an ANSI request, past the end of a buffer sized in bytes.
std::vector<std::string> ListLines(HWND control, UINT countMessage, UINT lengthMessage, UINT textMessage,
                                   LRESULT error) {
  std::vector<std::string> lines;
  DWORD_PTR count = 0;
  if (!SendBounded(control, countMessage, 0, 0, count) || static_cast<LRESULT>(count) == error) return lines;
  for (DWORD_PTR index = 0; index < count; ++index) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(control, lengthMessage, index, 0, SMTO_ABORTIFHUNG, kSendBoundMs, &length) ||
        static_cast<LRESULT>(length) == error) {
      lines.emplace_back();
      continue;
    }
    std::wstring wide(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(control, textMessage, index, reinterpret_cast<LPARAM>(wide.data()), SMTO_ABORTIFHUNG,
                             kSendBoundMs, &copied) ||
        static_cast<LRESULT>(copied) == error) {
      copied = 0;
    }
    wide.resize(std::min<DWORD_PTR>(copied, length));
    std::string line;
    if (!wide.empty()) {
      const int size =
          WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
      line.resize(static_cast<size_t>(size > 0 ? size : 0));
      WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), line.data(), size, nullptr, nullptr);
    }
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

std::vector<std::string> ListBoxLines(HWND listBox) {
  return ListLines(listBox, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, LB_ERR);
}

std::vector<std::string> ComboBoxLines(HWND comboBox) {
  return ListLines(comboBox, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_ERR);
}

void PressKeys(const std::vector<WORD>& keys) {
  std::vector<INPUT> inputs;
  for (WORD key : keys) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    inputs.push_back(input);
  }
  for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = *key;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

int ListBoxSelection(HWND listBox) {
  DWORD_PTR index = 0;
  if (!SendBounded(listBox, LB_GETCURSEL, 0, 0, index)) return LB_ERR;
  return static_cast<int>(static_cast<LRESULT>(index));
}

int ListBoxHorizontalExtent(HWND listBox) {
  DWORD_PTR extent = 0;
  if (!SendBounded(listBox, LB_GETHORIZONTALEXTENT, 0, 0, extent)) return -1;
  return static_cast<int>(extent);
}

bool ClickListBoxLine(HWND listBox, int index) {
  DWORD_PTR top = 0;
  DWORD_PTR height = 0;
  if (!SendBounded(listBox, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0, top) ||
      !SendBounded(listBox, LB_GETTOPINDEX, 0, 0, top) || !SendBounded(listBox, LB_GETITEMHEIGHT, 0, 0, height) ||
      static_cast<LRESULT>(height) <= 0) {
    return false;
  }
  const int row = index - static_cast<int>(top);
  ClickAt(listBox, POINT{4, row * static_cast<int>(height) + static_cast<int>(height) / 2});
  return true;
}

std::string FileDialogFolder(HANDLE process, HWND dialog) {
  // Long enough for any folder the dialog can show.
  constexpr size_t kSize = 32768;
  const win32::RemoteMemory memory = LendMemory(process, kSize);
  if (!memory) return std::string();
  DWORD_PTR length = 0;
  if (!SendBounded(dialog, CDM_GETFOLDERPATH, kSize, reinterpret_cast<LPARAM>(At(memory, 0)), length) ||
      static_cast<LRESULT>(length) <= 0) {
    return std::string();
  }
  std::string folder(kSize, '\0');
  if (!ReadRemote(memory, folder.data(), kSize - 1)) return std::string();
  folder.resize(folder.find('\0'));
  return folder;
}

std::vector<std::string> TabTexts(HANDLE process, HWND tab) {
  std::vector<std::string> texts;
  DWORD_PTR count = 0;
  if (!SendBounded(tab, TCM_GETITEMCOUNT, 0, 0, count)) return texts;
  // Tab captions are short; the control cuts a longer one at the buffer.
  constexpr size_t kTextSize = 256;
  const win32::RemoteMemory memory = LendMemory(process, sizeof(TCITEMA) + kTextSize);
  if (!memory) return texts;
  for (DWORD_PTR index = 0; index < count; ++index) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = At(memory, sizeof(TCITEMA));
    item.cchTextMax = static_cast<int>(kTextSize);
    char text[kTextSize] = {};
    DWORD_PTR ok = 0;
    if (!WriteRemote(memory, &item, sizeof item) ||
        !SendBounded(tab, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(At(memory, 0)), ok) || !ok ||
        !ReadRemote(memory, text, sizeof text - 1, sizeof(TCITEMA))) {
      texts.emplace_back();
      continue;
    }
    texts.emplace_back(text);
  }
  return texts;
}

int SelectedTab(HWND tab) {
  DWORD_PTR index = 0;
  if (!SendBounded(tab, TCM_GETCURSEL, 0, 0, index)) return -1;
  return static_cast<int>(static_cast<LRESULT>(index));
}

bool ClickTab(HANDLE process, HWND tab, int index) {
  const win32::RemoteMemory memory = LendMemory(process, sizeof(RECT));
  RECT rect{};
  DWORD_PTR ok = 0;
  if (!memory || !SendBounded(tab, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(At(memory, 0)), ok) || !ok ||
      !ReadRemote(memory, &rect, sizeof rect)) {
    return false;
  }
  ClickAt(tab, POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
  return true;
}

HWND FindMessageBox(DWORD processId, const std::string& caption) {
  for (HWND window : TopLevelWindows(processId)) {
    if (ClassOf(window) == "#32770" && TextOf(window) == caption && IsShown(window)) return window;
  }
  return nullptr;
}

std::string BeforeLayout(const std::string& finished) {
  const std::size_t last = finished.rfind("\n\n");
  if (last == std::string::npos) return finished;
  const std::string part = finished.substr(last + 2, finished.find('\n', last + 2) - last - 2);
  return part.find(".cue: ") != std::string::npos || part.find(".cue was not written") != std::string::npos
             ? finished.substr(0, last)
             : finished;
}

std::string MessageBoxText(HWND box) {
  for (HWND label : FindControls(box, "Static")) {
    const LONG_PTR kind = StyleOf(label) & SS_TYPEMASK;
    if (kind != SS_ICON && kind != SS_BITMAP) return TextOf(label);
  }
  return std::string();
}

bool MessageBoxHasIcon(HWND box) {
  for (HWND label : FindControls(box, "Static")) {
    DWORD_PTR icon = 0;
    if ((StyleOf(label) & SS_TYPEMASK) == SS_ICON && SendBounded(label, STM_GETICON, 0, 0, icon) && icon != 0) {
      return true;
    }
  }
  return false;
}

std::wstring AccessibleName(HWND window) {
  const win32::ComInitialisation com(COINIT_APARTMENTTHREADED);
  void* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible, &object))) return {};
  const win32::ComPointer<IAccessible> accessible(static_cast<IAccessible*>(object));
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  if (FAILED(accessible.Get()->get_accName(self, &name)) || name == nullptr) return {};
  std::wstring text(name, SysStringLen(name));
  SysFreeString(name);
  return text;
}

bool PressButton(HWND dialog, const std::string& caption) {
  HWND button = FindControl(dialog, "Button", caption);
  if (button == nullptr) return false;
  Click(button);
  return true;
}

KavrinProcess::KavrinProcess(const TempFolder& folder, const std::string& exeName)
    : folder_(folder.Path()), exePath_(folder.File(exeName)) {
  const std::string source = KavrinExePath();
  copied_ = CopyFileA(source.c_str(), exePath_.c_str(), FALSE) != 0;
  if (!copied_) ADD_FAILURE() << "could not copy " << source << " to " << exePath_ << ": error " << GetLastError();
}

KavrinProcess::~KavrinProcess() { End(); }

::testing::AssertionResult KavrinProcess::Start() {
  if (!copied_) return ::testing::AssertionFailure() << "kavrin.exe was not copied into the test folder";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string commandLine = "\"" + exePath_ + "\"";
  if (!CreateProcessA(exePath_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(),
                      &startup, &info)) {
    return ::testing::AssertionFailure() << "CreateProcessA failed for " << exePath_ << ": error " << GetLastError();
  }
  UniqueHandle thread(info.hThread);
  process_ = UniqueHandle(info.hProcess);
  id_ = info.dwProcessId;
  return ::testing::AssertionSuccess();
}

bool KavrinProcess::Running() const { return process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT; }

DWORD KavrinProcess::ExitCode() const {
  DWORD code = 0;
  if (process_) GetExitCodeProcess(process_.Get(), &code);
  return code;
}

::testing::AssertionResult KavrinProcess::WaitForMainWindow(HWND& window, std::chrono::milliseconds bound) {
  window = nullptr;
  const std::string what = "the visible main window (class \"TfKavrin\", caption \"Kavrin v1.2\")";
  auto result = WaitFor(
      [&] {
        HWND found = FindTopLevel(id_, "TfKavrin", "Kavrin v1.2");
        if (found != nullptr && IsShown(found)) window = found;
        return window != nullptr || !Running();
      },
      bound, what);
  if (result && window == nullptr) {
    return ::testing::AssertionFailure() << "kavrin.exe ended with exit code " << ExitCode() << " while waiting for "
                                         << what;
  }
  return result;
}

::testing::AssertionResult KavrinProcess::WaitForMessageBox(const std::string& caption, HWND& box,
                                                            std::chrono::milliseconds bound) {
  box = nullptr;
  const std::string what = "a message box with the caption \"" + caption + "\"";
  auto result = WaitFor(
      [&] {
        box = FindMessageBox(id_, caption);
        return box != nullptr || !Running();
      },
      bound, what);
  if (result && box == nullptr) {
    return ::testing::AssertionFailure() << "kavrin.exe ended with exit code " << ExitCode() << " while waiting for "
                                         << what;
  }
  return result;
}

::testing::AssertionResult KavrinProcess::WaitForNoMessageBox(const std::string& caption,
                                                              std::chrono::milliseconds bound) {
  return WaitFor([&] { return FindMessageBox(id_, caption) == nullptr; }, bound,
                 "the message box \"" + caption + "\" to close");
}

void KavrinProcess::RequestClose() {
  for (HWND window : TopLevelWindows(id_)) {
    if (ClassOf(window) == "TfKavrin") PostMessageA(window, WM_CLOSE, 0, 0);
  }
}

::testing::AssertionResult KavrinProcess::WaitForExit(std::chrono::milliseconds bound) {
  if (!process_) return ::testing::AssertionFailure() << "kavrin.exe was never started";
  if (WaitForSingleObject(process_.Get(), static_cast<DWORD>(bound.count())) == WAIT_OBJECT_0) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "gave up after " << bound.count()
                                       << " ms waiting for kavrin.exe to end; it shows " << DescribeWindows(id_);
}

void KavrinProcess::End() {
  if (!process_) return;
  if (Running()) {
    RequestClose();
    if (!WaitForExit(kReactBound)) {
      TerminateProcess(process_.Get(), 1);
      WaitForSingleObject(process_.Get(), static_cast<DWORD>(kExitBound.count()));
    }
  }
  process_.Reset();
}

}  // namespace kavrin::e2e
