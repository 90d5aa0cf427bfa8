// Kavrin's DTS encoder: a small window titled "DTS Encoder" that, on its
// encode command (WM_COMMAND 1050, also its button), encodes the six mono
// files named by the option values WAVEFILE1 to WAVEFILE6 into the DTS-CD
// track named by WAVEFILE7, with ffmpeg, on every core (encoding.hpp).
//
// The track appears under its name only once it is complete: a reader waiting
// for it never finds a part of it. If the encoding cannot be done, the window
// shows why and ends itself; on WM_CLOSE it stops every ffmpeg and removes the
// unfinished part.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "backends/common/ffmpeg.hpp"
#include "backends/dts_encoder/encoding.hpp"
#include "platform/win32/unique_resource.hpp"

namespace kavrin::dts_encoder {
namespace {

constexpr char kWindowClass[] = "KavrinDtsEncoder";
constexpr char kTitle[] = "DTS Encoder";
constexpr char kOptionKey[] = "Software\\Minnetonka Audio Software\\Surcode CD Pro DTS\\OPTIONS";
constexpr int kEncodeCommand = 1050;
constexpr UINT kEncodingEnded = WM_APP + 1;
constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT_PTR kEndTimer = 2;
// Long enough to read why an encoding failed before the window goes.
constexpr UINT kFailureShownMs = 3000;
constexpr int kProgressSteps = 1000;

struct Options {
  std::array<std::string, 7> Files;  // WAVEFILE1 to WAVEFILE7
};

std::optional<std::string> ReadString(HKEY key, const std::string& name) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
    return std::nullopt;
  std::string value(size, '\0');
  if (RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  value.resize(size);
  while (!value.empty() && value.back() == '\0') value.pop_back();
  return value;
}

Options ReadOptions() {
  Options options;
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kOptionKey, 0, KEY_READ, &opened) != ERROR_SUCCESS) return options;
  const win32::UniqueHkey key(opened);
  for (size_t n = 0; n < options.Files.size(); ++n)
    options.Files[n] = ReadString(key.Get(), "WAVEFILE" + std::to_string(n + 1)).value_or("");
  return options;
}

bool FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A track left under the output name by an earlier run would be taken for
// this run's as soon as it is looked for: it goes before the window shows.
std::string RemoveOldTrack(const std::string& track) {
  if (track.empty() || DeleteFileA(track.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ||
      GetLastError() == ERROR_PATH_NOT_FOUND)
    return {};
  SetFileAttributesA(track.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (DeleteFileA(track.c_str())) return {};
  return "An earlier track " + track + " cannot be removed (" + backends::ErrorText(GetLastError()) + ").";
}

class EncoderWindow {
 public:
  EncoderWindow(Options options, std::string problem) : options_(std::move(options)), problem_(std::move(problem)) {}

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      auto* self = static_cast<EncoderWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      self->window_ = window;
    }
    auto* self = reinterpret_cast<EncoderWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return self != nullptr ? self->Handle(message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
  }

 private:
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_CREATE:
        CreateControls();
        return 0;
      case WM_COMMAND:
        if (LOWORD(wParam) == kEncodeCommand) StartEncoding();
        return 0;
      case WM_TIMER:
        if (wParam == kProgressTimer && encoding_)
          SendMessageA(progress_, PBM_SETPOS, static_cast<WPARAM>(encoding_->Progress(kProgressSteps)), 0);
        if (wParam == kEndTimer) DestroyWindow(window_);
        return 0;
      case kEncodingEnded:
        EncodingEnded();
        return 0;
      case WM_CLOSE:
        closing_ = true;
        // The window goes once ffmpeg has stopped and the track is removed.
        if (encoding_) {
          encoding_->Cancel();
          SetStatus("Stopping...");
        } else {
          DestroyWindow(window_);
        }
        return 0;
      case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
  }

  void CreateControls() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
    // Four lines, broken inside long paths too, for why an encoding failed;
    // an "&" in a path is no accelerator.
    status_ = CreateWindowExA(0, "STATIC", "Ready: press Encode or send the encode command.",
                              WS_CHILD | WS_VISIBLE | SS_NOPREFIX | SS_EDITCONTROL, 12, 12, 396, 56, window_, nullptr,
                              instance, nullptr);
    progress_ = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 12, 72, 396, 18, window_, nullptr,
                                instance, nullptr);
    SendMessageA(progress_, PBM_SETRANGE32, 0, kProgressSteps);
    button_ =
        CreateWindowExA(0, "BUTTON", "&Encode", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 318, 100, 90, 26,
                        window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEncodeCommand)), instance, nullptr);
    for (HWND control : {status_, progress_, button_}) SendMessageA(control, WM_SETFONT, font, FALSE);
  }

  void SetStatus(const std::string& text) { SetWindowTextA(status_, text.c_str()); }

  void StartEncoding() {
    if (encoding_ || closing_ || ended_) return;
    ended_ = true;  // one encoding per start, as the track names come from the start
    EnableWindow(button_, FALSE);
    for (size_t n = 0; n < 7; ++n) {
      if (options_.Files[n].empty())
        return FailBeforeStart("The option value WAVEFILE" + std::to_string(n + 1) + " is not set.");
    }
    if (!problem_.empty()) return FailBeforeStart(problem_);
    for (size_t n = 0; n < 6; ++n) {
      if (!FileExists(options_.Files[n])) return FailBeforeStart("Missing input: " + options_.Files[n]);
    }
    std::optional<backends::Ffmpeg> ffmpeg = backends::Ffmpeg::Find();
    if (!ffmpeg) return FailBeforeStart("ffmpeg was not found: ffmpeg.exe belongs beside this program.");
    EncodingFiles files;
    std::copy_n(options_.Files.begin(), files.Inputs.size(), files.Inputs.begin());
    files.Track = options_.Files[6];
    encoding_ = std::make_unique<Encoding>(std::move(files), *ffmpeg);
    HWND window = window_;
    if (!encoding_->Start([window] { PostMessageA(window, kEncodingEnded, 0, 0); })) {
      std::string reason = encoding_->Failure();
      encoding_.reset();
      return FailBeforeStart(reason);
    }
    SetStatus("Encoding " + options_.Files[6]);
    SetTimer(window_, kProgressTimer, 250, nullptr);
  }

  void FailBeforeStart(const std::string& reason) {
    SetStatus("Not encoded. " + reason);
    SetTimer(window_, kEndTimer, kFailureShownMs, nullptr);
  }

  void EncodingEnded() {
    KillTimer(window_, kProgressTimer);
    encoding_->Finish();
    bool complete = encoding_->Complete();
    std::string failure = encoding_->Failure();
    encoding_.reset();
    if (closing_) {
      DestroyWindow(window_);
    } else if (complete) {
      SendMessageA(progress_, PBM_SETPOS, kProgressSteps, 0);
      SetStatus("Done: " + options_.Files[6]);
    } else {
      FailBeforeStart(failure);
    }
  }

  Options options_;
  std::string problem_;  // found at the start; the encoding is refused with it
  HWND window_ = nullptr;
  HWND status_ = nullptr;
  HWND progress_ = nullptr;
  HWND button_ = nullptr;
  std::unique_ptr<Encoding> encoding_;
  bool closing_ = false;
  bool ended_ = false;
};

int Run(HINSTANCE instance, int show) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = EncoderWindow::Procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassExA(&windowClass)) return 1;

  // The options are the ones of this start: the caller writes them first.
  Options options = ReadOptions();
  std::string problem = RemoveOldTrack(options.Files[6]);
  EncoderWindow encoder(std::move(options), std::move(problem));
  RECT frame{0, 0, 420, 138};
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  AdjustWindowRect(&frame, style, FALSE);
  HWND window = CreateWindowExA(0, kWindowClass, kTitle, style, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                frame.bottom - frame.top, nullptr, nullptr, instance, &encoder);
  if (window == nullptr) return 1;
  ShowWindow(window, show);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageA(window, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  return static_cast<int>(message.wParam);
}

}  // namespace
}  // namespace kavrin::dts_encoder

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) { return kavrin::dts_encoder::Run(instance, show); }
