// The second yardstick of bench/startup.sh: Kavrin's first screen built as
// plainly as Win32 allows. The same manifest (common controls 6, so the same
// theme), the same font, and on both pages the same windows of the same
// classes, placed as at 96 dpi, the field buttons drawn as Kavrin draws
// them, and nothing else: no settings read, no layout by dpi. What it costs
// over the bare window is what those windows cost; kavrin.exe against it is
// what Kavrin's own code costs.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <uxtheme.h>
#include <vsstyle.h>

namespace {

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

struct Place {
  int left, top, width, height;
};

HFONT font = nullptr;

// A field's button, drawn as Kavrin's: the theme's push button with "..."
// or its drop-down arrow, each theme opened at the first paint and kept.
void DrawFieldButton(const DRAWITEMSTRUCT& item) {
  static HTHEME themes[2] = {};
  static bool opened[2] = {};
  const bool ellipsis = GetWindowTextLengthA(item.hwndItem) > 0;
  if (!opened[ellipsis]) {
    opened[ellipsis] = true;
    themes[ellipsis] = IsAppThemed() ? OpenThemeData(item.hwndItem, ellipsis ? L"BUTTON" : L"COMBOBOX") : nullptr;
  }
  RECT area = item.rcItem;
  const bool pushed = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  if (HTHEME theme = themes[ellipsis]) {
    const int part = ellipsis ? static_cast<int>(BP_PUSHBUTTON) : static_cast<int>(CP_DROPDOWNBUTTON);
    const int state = disabled ? PBS_DISABLED : pushed ? PBS_PRESSED : PBS_NORMAL;
    if (IsThemeBackgroundPartiallyTransparent(theme, part, state))
      DrawThemeParentBackground(item.hwndItem, item.hDC, &area);
    DrawThemeBackground(theme, item.hDC, part, state, &area, nullptr);
  } else if (!ellipsis) {
    DrawFrameControl(item.hDC, &area, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | (pushed ? DFCS_PUSHED : 0));
  } else {
    DrawFrameControl(item.hDC, &area, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
  }
  if (!ellipsis) return;
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
  HGDIOBJ previous = SelectObject(item.hDC, font);
  DrawTextA(item.hDC, "...", 3, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(item.hDC, previous);
}

// The edit that holds a button is the button's parent, so it is asked to draw it.
LRESULT CALLBACK FieldProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_DRAWITEM) {
    DrawFieldButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    return TRUE;
  }
  return DefSubclassProc(edit, message, wParam, lParam);
}

HWND FieldButton(HWND edit, const char* text, int left) {
  SetWindowSubclass(edit, &FieldProc, 1, 0);
  return CreateWindowExA(0, "Button", text, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, left, 0, 17, 17, edit, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

HWND Child(HWND parent, const char* className, const char* text, DWORD style, DWORD exStyle, Place at) {
  HWND child = CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, at.left, at.top, at.width,
                               at.height, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

// A field with its browse button inside, as the file and folder fields are.
void Field(HWND parent, Place at, DWORD style) {
  HWND edit = Child(parent, "Edit", "", WS_TABSTOP | WS_CLIPCHILDREN | ES_AUTOHSCROLL | style, WS_EX_CLIENTEDGE, at);
  HWND button = FieldButton(edit, "...", at.width - 21);
  SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  // As in Kavrin, a disabled field's button is disabled with it.
  if ((style & WS_DISABLED) != 0) EnableWindow(button, FALSE);
}

HWND Page(HWND tab, const RECT& area, DWORD visible) {
  return CreateWindowExA(WS_EX_CONTROLPARENT, "PlainPage", "", WS_CHILD | WS_CLIPSIBLINGS | visible, area.left,
                         area.top, area.right - area.left, area.bottom - area.top, tab, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

void BuildFilesPage(HWND page) {
  const char* const labels[] = {"BeSweet", "SurCode CD Pro DTS", "BeSweet Temp Folder", "Final Output Folder"};
  for (int row = 0; row < 4; ++row) {
    Child(page, "Static", labels[row], SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, {8, 8 + 24 * row, 105, 13});
    Field(page, {136, 4 + 24 * row, 257, 21}, 0);
  }
  Field(page, {136, 100, 257, 21}, WS_DISABLED);
  Child(page, "Button", "Logfile", WS_TABSTOP | BS_AUTOCHECKBOX, 0, {8, 104, 97, 17});
}

void BuildSettingsPage(HWND page) {
  Child(page, "Button", "Normalize", WS_TABSTOP | BS_AUTOCHECKBOX, 0, {8, 8, 97, 17});
  Child(page, "Button", "DTS-CD", WS_TABSTOP | WS_GROUP | BS_RADIOBUTTON, 0, {80, 8, 73, 17});
  Child(page, "Button", "AC3-CD", BS_RADIOBUTTON, 0, {150, 8, 65, 17});
  Child(page, "Button", "CDDA", BS_RADIOBUTTON, 0, {216, 8, 65, 17});
  Child(page, "Button", "Shutdown afterwards", WS_TABSTOP | BS_AUTOCHECKBOX, 0, {272, 8, 121, 17});
  Child(page, "Static", "Additional options", SS_CENTER | SS_NOPREFIX, 0, {48, 32, 161, 13});
  Child(page, "Static", "Fixed options", SS_CENTER | SS_NOPREFIX, 0, {216, 32, 169, 13});
  const char* const options[] = {"-ota(", "-azid(", "-ssrc(", "-boost("};
  const int widths[] = {337, 161, 161, 337};
  for (int row = 0; row < 4; ++row) {
    Child(page, "Static", options[row], SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, {8, 52 + 24 * row, 32, 13});
    Child(page, "Edit", "", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, {48, 48 + 24 * row, widths[row], 21});
    Child(page, "Static", ")", SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, {392, 52 + 24 * row, 3, 13});
  }
  Child(page, "Edit", "-g max", ES_READONLY, WS_EX_CLIENTEDGE, {216, 72, 169, 21});
  Child(page, "Edit", "--rate 44100", ES_READONLY, WS_EX_CLIENTEDGE, {216, 96, 169, 21});
}

bool Register(HINSTANCE instance, const char* name) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &PlainProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = name;
  return RegisterClassExA(&windowClass) != 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_TAB_CLASSES;
  InitCommonControlsEx(&controls);
  if (!Register(instance, "PlainWindow") || !Register(instance, "PlainPage")) return 1;
  HWND window = CreateWindowExA(WS_EX_CONTROLPARENT, "PlainWindow", "Plain window",
                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
                                CW_USEDEFAULT, CW_USEDEFAULT, 430, 238, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
  Child(window, "Button", "Go", WS_TABSTOP | BS_PUSHBUTTON, 0, {344, 4, 75, 25});
  Child(window, "Static", "Input files", SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, {8, 8, 45, 13});
  HWND inputFiles = Child(window, "Edit", "0 files selected", WS_TABSTOP | WS_CLIPCHILDREN | ES_READONLY,
                          WS_EX_CLIENTEDGE, {64, 4, 273, 21});
  SendMessageA(FieldButton(inputFiles, "", 252), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  HWND tab = Child(window, WC_TABCONTROLA, "", WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT,
                   {8, 32, 409, 173});
  const char* const captions[] = {"Files and folders", "Besweet Settings"};
  for (int index = 0; index < 2; ++index) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(captions[index]);
    SendMessageA(tab, TCM_INSERTITEMA, index, reinterpret_cast<LPARAM>(&item));
  }
  SendMessageA(tab, TCM_SETCURSEL, 1, 0);
  RECT area{};
  GetClientRect(tab, &area);
  SendMessageA(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  BuildFilesPage(Page(tab, area, 0));
  BuildSettingsPage(Page(tab, area, WS_VISIBLE));
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageA(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  DeleteObject(font);
  return 0;
}
