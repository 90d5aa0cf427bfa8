// Kavrin's DTS encoder: a small window titled "DTS Encoder" that, on its
// encode command (WM_COMMAND 1050, also its button), encodes the six mono
// files named by the option values WAVEFILE1 to WAVEFILE6 into the DTS-CD
// track named by WAVEFILE7, with ffmpeg.
//
// The track is held open without sharing from the start of the encoding to
// its end, so that a reader waiting for it sees it only when it is complete.
// If the encoding cannot be done, the window shows why, removes the track and
// ends itself; on WM_CLOSE it stops ffmpeg and removes an unfinished track.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "backends/common/ffmpeg.hpp"
#include "backends/dts_encoder/dts_cd.hpp"
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

// WAVEFILE1..6 in this order: FL FR SL SR C LFE. ffmpeg's 5.1(side) layout
// takes them by name.
constexpr const char* kChannelNames[] = {"FL", "FR", "SL", "SR", "FC", "LFE"};

// DTS core 5.1 at 44.1 kHz and 1234.8 kbit/s: 1792 bytes per 512 samples,
// exactly what a DTS-CD frame carries.
constexpr const char* kDtsBitRate = "1234800";
constexpr std::size_t kCoreFrameBytes = 1792;
constexpr std::size_t kFramesPerChunk = 256;

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
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kOptionKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return options;
  for (size_t n = 0; n < options.Files.size(); ++n)
    options.Files[n] = ReadString(key, "WAVEFILE" + std::to_string(n + 1)).value_or("");
  RegCloseKey(key);
  return options;
}

bool FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

unsigned long long FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool WriteAll(HANDLE file, const void* data, size_t size) {
  DWORD written = 0;
  return WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

// One encoding, run on a worker thread; the window only reads Failure once
// the worker has posted kEncodingEnded.
class Encoding {
 public:
  Encoding(const Options& options, backends::Ffmpeg ffmpeg)
      : options_(options), ffmpeg_(std::move(ffmpeg)), cancel_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    char folder[MAX_PATH + 1];
    char name[MAX_PATH + 1];
    if (GetTempPathA(MAX_PATH + 1, folder) != 0 && GetTempFileNameA(folder, "kdt", 0, name) != 0) {
      core_ = std::string(name) + ".dts";
      progress_ = std::string(name) + ".progress";
      placeholder_ = name;
    }
    // The input's length in samples, for the progress bar.
    unsigned long long bytes = FileSize(options.Files[0]);
    totalUs_ = bytes > kWavHeaderBytes ? (bytes - kWavHeaderBytes) / 2 * 1000000ull / kWavSampleRate : 0;
  }
  ~Encoding() {
    for (const std::string& file : {core_, progress_, placeholder_})
      if (!file.empty()) DeleteFileA(file.c_str());
  }

  // Opens the track and starts the worker; false with Failure set if the
  // track cannot be created.
  bool Start(HWND window) {
    if (core_.empty()) return Fail("no temporary file for the DTS stream");
    output_ = win32::UniqueHandle(CreateFileA(options_.Files[6].c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!output_)
      return Fail("the track " + options_.Files[6] + " cannot be created (error " + std::to_string(GetLastError()) +
                  ")");
    created_ = true;
    worker_ = std::thread([this, window] {
      Encode();
      PostMessageA(window, kEncodingEnded, 0, 0);
    });
    return true;
  }

  void Cancel() { SetEvent(cancel_.Get()); }

  // After the worker ended: closes the track, and removes it unless complete.
  void Finish() {
    if (worker_.joinable()) worker_.join();
    output_.Reset();
    if (created_ && !complete_) DeleteFileA(options_.Files[6].c_str());
  }

  bool Complete() const { return complete_; }
  const std::string& Failure() const { return failure_; }

  // ffmpeg's progress, 0 to kProgressSteps.
  int Progress() const {
    if (totalUs_ == 0) return 0;
    HANDLE file = CreateFileA(progress_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    win32::UniqueHandle owner(file);
    std::string text(64 * 1024, '\0');
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    LARGE_INTEGER from{};
    from.QuadPart = size.QuadPart > static_cast<LONGLONG>(text.size()) ? size.QuadPart - text.size() : 0;
    SetFilePointerEx(file, from, nullptr, FILE_BEGIN);
    DWORD read = 0;
    if (!ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr)) return 0;
    text.resize(read);
    const std::string key = "out_time_us=";
    size_t at = text.rfind(key);
    if (at == std::string::npos) return 0;
    long long us = std::atoll(text.c_str() + at + key.size());
    if (us <= 0) return 0;
    return static_cast<int>(std::min<unsigned long long>(us, totalUs_) * kProgressSteps / totalUs_);
  }

 private:
  bool Fail(const std::string& reason) {
    failure_ = reason;
    return false;
  }

  void Encode() {
    std::vector<std::wstring> words = {L"-nostdin", L"-hide_banner", L"-nostats", L"-y"};
    std::string inputs;
    std::string map;
    for (size_t n = 0; n < 6; ++n) {
      words.insert(words.end(), {L"-i", ffmpeg_.FileArgument(options_.Files[n])});
      const std::string input = std::to_string(n);
      inputs.append("[").append(input).append(":a]");
      map.append(n == 0 ? "" : "|").append(input).append(".0-").append(kChannelNames[n]);
    }
    std::string graph = inputs + "join=inputs=6:channel_layout=5.1(side):map=" + map + ",aresample=osr=44100[dts]";
    words.insert(words.end(), {L"-filter_complex", backends::Ffmpeg::Text(graph), L"-map", L"[dts]", L"-c:a", L"dca",
                               L"-strict", L"-2", L"-b:a", backends::Ffmpeg::Text(kDtsBitRate), L"-progress",
                               ffmpeg_.FileArgument(progress_), L"-f", L"dts", ffmpeg_.FileArgument(core_)});
    backends::FfmpegResult result = ffmpeg_.Run(words, cancel_.Get());
    if (result.Cancelled) {
      Fail("stopped");
    } else if (!result.Succeeded()) {
      Fail(result.Reason());
    } else {
      PackTrack();
    }
  }

  // The DTS core frames, repacked chunk by chunk behind the WAV header.
  void PackTrack() {
    win32::UniqueHandle core(CreateFileA(core_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size{};
    if (!core || !GetFileSizeEx(core.Get(), &size) || size.QuadPart == 0) {
      Fail("ffmpeg wrote no DTS stream");
      return;
    }
    try {
      // 7 core bytes become 8 packed bytes.
      const auto packedBytes = static_cast<std::uint64_t>(size.QuadPart) / 7 * 8;
      auto header = WavHeader(packedBytes);
      if (!WriteAll(output_.Get(), header.data(), header.size())) {
        Fail("the track cannot be written (is the disk full?)");
        return;
      }
      std::vector<std::uint8_t> chunk(kCoreFrameBytes * kFramesPerChunk);
      for (DWORD read = 0;;) {
        if (WaitForSingleObject(cancel_.Get(), 0) == WAIT_OBJECT_0) {
          Fail("stopped");
          return;
        }
        if (!ReadFile(core.Get(), chunk.data(), static_cast<DWORD>(chunk.size()), &read, nullptr)) {
          Fail("the DTS stream cannot be read");
          return;
        }
        if (read == 0) break;
        std::vector<std::uint8_t> packed = PackDts14(std::span(chunk.data(), read));
        if (!WriteAll(output_.Get(), packed.data(), packed.size())) {
          Fail("the track cannot be written (is the disk full?)");
          return;
        }
      }
      if (!FlushFileBuffers(output_.Get())) {
        Fail("the track cannot be written (is the disk full?)");
        return;
      }
      complete_ = true;
    } catch (const DtsCdError& error) {
      Fail(error.what());
    }
  }

  Options options_;
  backends::Ffmpeg ffmpeg_;
  win32::UniqueHandle cancel_;
  win32::UniqueHandle output_;
  std::string core_;
  std::string progress_;
  std::string placeholder_;
  unsigned long long totalUs_ = 0;
  bool created_ = false;
  bool complete_ = false;
  std::string failure_;
  std::thread worker_;
};

class EncoderWindow {
 public:
  explicit EncoderWindow(Options options) : options_(std::move(options)) {}

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
          SendMessageA(progress_, PBM_SETPOS, static_cast<WPARAM>(encoding_->Progress()), 0);
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
    status_ = CreateWindowExA(0, "STATIC", "Ready: press Encode or send the encode command.", WS_CHILD | WS_VISIBLE, 12,
                              12, 396, 36, window_, nullptr, instance, nullptr);
    progress_ = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 12, 52, 396, 18, window_, nullptr,
                                instance, nullptr);
    SendMessageA(progress_, PBM_SETRANGE32, 0, kProgressSteps);
    button_ =
        CreateWindowExA(0, "BUTTON", "&Encode", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 318, 80, 90, 26,
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
    for (size_t n = 0; n < 6; ++n) {
      if (!FileExists(options_.Files[n])) return FailBeforeStart("Missing input: " + options_.Files[n]);
    }
    std::optional<backends::Ffmpeg> ffmpeg = backends::Ffmpeg::Find();
    if (!ffmpeg) return FailBeforeStart("ffmpeg was not found: put ffmpeg.exe beside this program or on the PATH.");
    encoding_ = std::make_unique<Encoding>(options_, *ffmpeg);
    if (!encoding_->Start(window_)) {
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
  EncoderWindow encoder(ReadOptions());
  RECT frame{0, 0, 420, 118};
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
