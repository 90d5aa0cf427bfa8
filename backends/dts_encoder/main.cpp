// Kavrin's DTS encoder: a small window titled "DTS Encoder" that, on its
// encode command (WM_COMMAND 1050, also its button), encodes the six mono
// files named by the option values WAVEFILE1 to WAVEFILE6 into the DTS-CD
// track named by WAVEFILE7, with ffmpeg.
//
// The track appears under its name only once it is complete: a reader waiting
// for it never finds a part of it. If the encoding cannot be done, the window
// shows why and ends itself; on WM_CLOSE it stops ffmpeg and removes the
// unfinished part.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "backends/common/ffmpeg.hpp"
#include "backends/common/ffmpeg_messages.hpp"
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
// Enough of a frame to read its size.
constexpr std::size_t kCoreFrameHeaderBytes = 8;

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
//
// The track is written under a ".part" name and takes its own name only when
// it is complete, so that a reader waiting for it never sees a part of it,
// even when this program is killed.
class Encoding {
 public:
  Encoding(const Options& options, backends::Ffmpeg ffmpeg)
      : options_(options),
        ffmpeg_(std::move(ffmpeg)),
        cancel_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
        part_(options.Files[6] + ".part") {
    // The input's length in samples, for the progress bar.
    unsigned long long bytes = FileSize(options.Files[0]);
    totalSamples_ = bytes > kWavHeaderBytes ? (bytes - kWavHeaderBytes) / 2 : 0;
  }

  // Creates the part and starts the worker; false with Failure set if the
  // part cannot be created.
  bool Start(HWND window) {
    output_ = win32::UniqueHandle(
        CreateFileA(part_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!output_)
      return Fail("the track " + part_ + " cannot be created (" + backends::ErrorText(GetLastError()) + ")");
    worker_ = std::thread([this, window] {
      Encode();
      PostMessageA(window, kEncodingEnded, 0, 0);
    });
    return true;
  }

  void Cancel() { SetEvent(cancel_.Get()); }

  // After the worker ended: an unfinished part is removed.
  void Finish() {
    if (worker_.joinable()) worker_.join();
    output_.Reset();
    if (!complete_) DeleteFileA(part_.c_str());
  }

  bool Complete() const { return complete_; }
  const std::string& Failure() const { return failure_; }

  // The share of the input encoded, 0 to kProgressSteps.
  int Progress() const {
    if (totalSamples_ == 0) return 0;
    unsigned long long samples = frames_.load() * kSamplesPerFrame;
    return static_cast<int>(std::min(samples, totalSamples_) * kProgressSteps / totalSamples_);
  }

 private:
  static constexpr unsigned long long kSamplesPerFrame = 512;

  bool Fail(const std::string& reason) {
    failure_ = reason;
    return false;
  }

  bool Write(const void* data, size_t size) {
    if (WriteAll(output_.Get(), data, size)) return true;
    return Fail("the track cannot be written (" + backends::ErrorText(GetLastError()) + ")");
  }

  // The DTS core frames come through a pipe from ffmpeg and are packed as
  // they come, behind a WAV header whose sizes are set at the end.
  void Encode() {
    std::vector<std::wstring> words = {
        L"-nostdin", L"-hide_banner", L"-nostats", L"-loglevel", backends::Ffmpeg::Text(backends::kFfmpegLogLevel),
        L"-y"};
    std::string inputs;
    std::string map;
    for (size_t n = 0; n < 6; ++n) {
      words.insert(words.end(), {L"-i", backends::Ffmpeg::FileArgument(options_.Files[n])});
      const std::string input = std::to_string(n);
      inputs.append("[").append(input).append(":a]");
      map.append(n == 0 ? "" : "|").append(input).append(".0-").append(kChannelNames[n]);
    }
    // The encoder's filter bank holds back 512 samples that it never gives
    // out at the end: that much silence more lets the last source sample in.
    std::string graph = inputs + "join=inputs=6:channel_layout=5.1(side):map=" + map +
                        ",aresample=osr=44100,apad=pad_len=" + std::to_string(kSamplesPerFrame) + "[dts]";
    words.insert(words.end(),
                 {L"-filter_complex", backends::Ffmpeg::Text(graph), L"-map", L"[dts]", L"-c:a", L"dca", L"-strict",
                  L"-2", L"-b:a", backends::Ffmpeg::Text(kDtsBitRate), L"-f", L"dts", L"pipe:1"});
    auto header = WavHeader(0);
    if (!Write(header.data(), header.size())) return;
    backends::FfmpegResult result =
        ffmpeg_.Run(words, cancel_.Get(), [this](const char* data, size_t size) { return Pack(data, size); });
    if (result.Cancelled) {
      Fail("stopped");
    } else if (!failure_.empty()) {
      return;
    } else if (!result.Succeeded()) {
      Fail(result.Reason());
    } else if (!pending_.empty()) {
      Fail("the DTS stream ends inside a frame (" + std::to_string(pending_.size()) + " bytes left)");
    } else if (packedBytes_ == 0) {
      Fail("ffmpeg wrote no DTS stream");
    } else {
      Close();
    }
  }

  // Packs every whole frame that has come so far.
  bool Pack(const char* data, size_t size) {
    pending_.insert(pending_.end(), data, data + size);
    try {
      size_t whole = 0;
      size_t frames = 0;
      while (pending_.size() - whole >= kCoreFrameHeaderBytes) {
        size_t bytes = ReadDtsCoreFrame(std::span(pending_).subspan(whole)).Bytes;
        if (pending_.size() - whole < bytes) break;
        whole += bytes;
        ++frames;
      }
      if (whole == 0) return true;
      std::vector<std::uint8_t> packed = PackDts14(std::span(pending_.data(), whole));
      pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(whole));
      if (packedBytes_ + packed.size() > kMaxWavDataBytes) return Fail("the DTS-CD track is too long for a WAV file");
      if (!Write(packed.data(), packed.size())) return false;
      packedBytes_ += packed.size();
      frames_ += frames;
      return true;
    } catch (const DtsCdError& error) {
      return Fail(error.what());
    }
  }

  // The header's sizes, and the part under the track's name.
  void Close() {
    auto header = WavHeader(packedBytes_);
    if (SetFilePointer(output_.Get(), 0, nullptr, FILE_BEGIN) != 0 || !Write(header.data(), header.size())) return;
    if (!FlushFileBuffers(output_.Get())) {
      Fail("the track cannot be written (" + backends::ErrorText(GetLastError()) + ")");
      return;
    }
    output_.Reset();
    if (!MoveFileExA(part_.c_str(), options_.Files[6].c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      Fail("the track " + options_.Files[6] + " cannot be written (" + backends::ErrorText(GetLastError()) + ")");
      return;
    }
    complete_ = true;
  }

  Options options_;
  backends::Ffmpeg ffmpeg_;
  win32::UniqueHandle cancel_;
  win32::UniqueHandle output_;
  std::string part_;
  unsigned long long totalSamples_ = 0;
  std::vector<std::uint8_t> pending_;
  std::uint64_t packedBytes_ = 0;
  std::atomic<unsigned long long> frames_{0};
  bool complete_ = false;
  std::string failure_;
  std::thread worker_;
};

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
    if (!problem_.empty()) return FailBeforeStart(problem_);
    for (size_t n = 0; n < 6; ++n) {
      if (!FileExists(options_.Files[n])) return FailBeforeStart("Missing input: " + options_.Files[n]);
    }
    std::optional<backends::Ffmpeg> ffmpeg = backends::Ffmpeg::Find();
    if (!ffmpeg) return FailBeforeStart("ffmpeg was not found: ffmpeg.exe belongs beside this program.");
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
