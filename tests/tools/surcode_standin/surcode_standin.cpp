// Stand-in for the DTS encoder that the encoder stage drives.
//
// Knobs, from the environment and then from "key=value" lines of the settings
// file named by the command line (the file wins):
//   startup=N       show the start-up window N times before the encoder window (0)
//   encode_ms=N     time from the start command to the finished output (1500)
//   hide_encoder=1  never show the encoder window
//   no_output=1     end on the start command without writing the output
//   exit_ms=N       end by itself after N ms, 0 for never (60000 with hide_encoder)
//   handoff=1       a launcher: start a second instance with the same command
//                   line to do all of the above, and end at once
// Environment names are the keys upper-cased with a KAVRIN_SURCODE_ prefix.
// Every line of the record goes to the file named by KAVRIN_SURCODE_RECORD.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "support/stream_samples.hpp"

namespace {

constexpr const char* kOptionKey = "Software\\Minnetonka Audio Software\\Surcode CD Pro DTS\\OPTIONS";
constexpr const char* kValueNames[8] = {"WAVEFILE1", "WAVEFILE2", "WAVEFILE3", "WAVEFILE4",
                                        "WAVEFILE5", "WAVEFILE6", "WAVEFILE7", "WAVEFILELOCATION"};
constexpr UINT_PTR kEncodeTimer = 1;
constexpr UINT_PTR kExitTimer = 2;
constexpr WPARAM kStartCommand = 1050;

struct Knobs {
  int startup = 0;
  int encodeMs = 1500;
  bool hideEncoder = false;
  bool noOutput = false;
  int exitMs = -1;  // -1: the default for the other knobs
  bool handoff = false;
};

struct State {
  Knobs knobs;
  std::string values[8];
  HWND startupWindow = nullptr;
  HWND encoderWindow = nullptr;
  int startupsShown = 0;
  HANDLE output = INVALID_HANDLE_VALUE;
  HINSTANCE instance = nullptr;
  int show = SW_SHOWDEFAULT;
};

State g_state;

std::string EnvText(const char* name) {
  const DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
  if (size == 0) return std::string();
  std::vector<char> buffer(size);
  const DWORD length = GetEnvironmentVariableA(name, buffer.data(), size);
  return std::string(buffer.data(), length < size ? length : 0);
}

void Record(const std::string& line) {
  const std::string path = EnvText("KAVRIN_SURCODE_RECORD");
  if (path.empty()) return;
  const HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string text = line + "\r\n";
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

void ApplyKnob(Knobs& knobs, const std::string& key, const std::string& value) {
  const int number = std::atoi(value.c_str());
  if (key == "startup") knobs.startup = number;
  if (key == "encode_ms") knobs.encodeMs = number;
  if (key == "hide_encoder") knobs.hideEncoder = number != 0;
  if (key == "no_output") knobs.noOutput = number != 0;
  if (key == "exit_ms") knobs.exitMs = number;
  if (key == "handoff") knobs.handoff = number != 0;
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r\n\"");
  if (first == std::string::npos) return std::string();
  const size_t last = text.find_last_not_of(" \t\r\n\"");
  return text.substr(first, last - first + 1);
}

Knobs ReadKnobs(const std::string& settingsFile) {
  Knobs knobs;
  for (const char* key : {"startup", "encode_ms", "hide_encoder", "no_output", "exit_ms", "handoff"}) {
    std::string name = "KAVRIN_SURCODE_";
    for (const char* c = key; *c != '\0'; ++c) name += static_cast<char>(*c >= 'a' && *c <= 'z' ? *c - 32 : *c);
    const std::string value = EnvText(name.c_str());
    if (!value.empty()) ApplyKnob(knobs, key, value);
  }
  std::ifstream in(settingsFile);
  std::string line;
  while (std::getline(in, line)) {
    const size_t eq = line.find('=');
    if (eq != std::string::npos) ApplyKnob(knobs, Trimmed(line.substr(0, eq)), Trimmed(line.substr(eq + 1)));
  }
  if (knobs.exitMs < 0) knobs.exitMs = knobs.hideEncoder ? 60000 : 0;
  return knobs;
}

void ReadOptions() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kOptionKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    Record("options key missing");
    return;
  }
  for (int n = 0; n < 8; ++n) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, kValueNames[n], nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
      Record(std::string(kValueNames[n]) + " missing");
      continue;
    }
    std::vector<char> buffer(size + 1, '\0');
    RegQueryValueExA(key, kValueNames[n], nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    g_state.values[n] = buffer.data();
    Record(std::string(kValueNames[n]) + "=" + g_state.values[n]);
  }
  RegCloseKey(key);
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void ShowEncoderWindow();

// The second instance learns from its environment that it is the one to work.
void HandOver(const std::string& commandLine, int show) {
  Record("hand over");
  std::vector<char> self(MAX_PATH + 1, '\0');
  GetModuleFileNameA(nullptr, self.data(), MAX_PATH);
  SetEnvironmentVariableA("KAVRIN_SURCODE_HANDED_OVER", "1");
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(show);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(self.data(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    Record("cannot hand over");
    return;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

void StartEncoding(HWND window) {
  Record("WM_COMMAND 1050");
  for (int n = 0; n < 6; ++n) {
    if (!FileExists(g_state.values[n])) {
      Record("missing input " + g_state.values[n]);
      g_state.knobs.noOutput = true;
    }
  }
  if (g_state.knobs.noOutput) {
    Record("exit without output");
    DestroyWindow(window);
    return;
  }
  // Held without sharing while encoding, so that a rename fails until the end.
  g_state.output =
      CreateFileA(g_state.values[6].c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (g_state.output == INVALID_HANDLE_VALUE) {
    Record("cannot create " + g_state.values[6]);
    return;
  }
  Record("encoding " + g_state.values[6]);
  SetTimer(window, kEncodeTimer, static_cast<UINT>(g_state.knobs.encodeMs), nullptr);
}

void FinishEncoding(HWND window) {
  KillTimer(window, kEncodeTimer);
  if (g_state.output == INVALID_HANDLE_VALUE) return;
  // A real DTS-CD stream, long enough for any burner.
  const std::string wav = kavrin::samples::SampleTrack(kavrin::samples::Stream::Dts, 4.2);
  DWORD written = 0;
  WriteFile(g_state.output, wav.data(), static_cast<DWORD>(wav.size()), &written, nullptr);
  CloseHandle(g_state.output);
  g_state.output = INVALID_HANDLE_VALUE;
  Record("output written");
}

LRESULT CALLBACK EncoderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kStartCommand) StartEncoding(window);
      return 0;
    case WM_TIMER:
      if (wParam == kEncodeTimer) FinishEncoding(window);
      if (wParam == kExitTimer) {
        Record("exit by itself");
        DestroyWindow(window);
      }
      return 0;
    case WM_CLOSE:
      Record("WM_CLOSE");
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      if (g_state.output != INVALID_HANDLE_VALUE) CloseHandle(g_state.output);
      g_state.output = INVALID_HANDLE_VALUE;
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

LRESULT CALLBACK StartupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      Record("WM_CLOSE startup");
      DestroyWindow(window);
      g_state.startupWindow = nullptr;
      if (g_state.startupsShown < g_state.knobs.startup) {
        ++g_state.startupsShown;
        g_state.startupWindow =
            CreateWindowExA(0, "KavrinStandinStartup", "Surcode CD Pro DTS", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                            CW_USEDEFAULT, 300, 120, nullptr, nullptr, g_state.instance, nullptr);
        ShowWindow(g_state.startupWindow, SW_SHOWNOACTIVATE);
      } else {
        ShowEncoderWindow();
      }
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

void ShowEncoderWindow() {
  g_state.encoderWindow = CreateWindowExA(0, "KavrinStandinEncoder", "DTS Encoder", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                          CW_USEDEFAULT, 400, 200, nullptr, nullptr, g_state.instance, nullptr);
  if (g_state.knobs.exitMs > 0) SetTimer(g_state.encoderWindow, kExitTimer, g_state.knobs.exitMs, nullptr);
  if (!g_state.knobs.hideEncoder) ShowWindow(g_state.encoderWindow, g_state.show);
  g_state.show = SW_SHOWNOACTIVATE;
}

void RegisterClasses(HINSTANCE instance) {
  WNDCLASSA encoder = {};
  encoder.lpfnWndProc = EncoderProc;
  encoder.hInstance = instance;
  encoder.hCursor = LoadCursor(nullptr, IDC_ARROW);
  encoder.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  encoder.lpszClassName = "KavrinStandinEncoder";
  RegisterClassA(&encoder);
  WNDCLASSA startup = encoder;
  startup.lpfnWndProc = StartupProc;
  startup.lpszClassName = "KavrinStandinStartup";
  RegisterClassA(&startup);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  const std::string commandLine = GetCommandLineA();
  Record("command line: " + commandLine);
  const DWORD size = GetCurrentDirectoryA(0, nullptr);
  std::vector<char> folder(size + 1, '\0');
  GetCurrentDirectoryA(static_cast<DWORD>(folder.size()), folder.data());
  Record(std::string("current folder: ") + folder.data());

  g_state.knobs = ReadKnobs(Trimmed(commandLine));
  if (g_state.knobs.handoff && EnvText("KAVRIN_SURCODE_HANDED_OVER").empty()) {
    HandOver(commandLine, show);
    return 0;
  }
  g_state.instance = instance;
  g_state.show = show;
  ReadOptions();
  RegisterClasses(instance);

  if (g_state.knobs.startup > 0) {
    g_state.startupsShown = 1;
    g_state.startupWindow =
        CreateWindowExA(0, "KavrinStandinStartup", "Surcode CD Pro DTS", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, 300, 120, nullptr, nullptr, instance, nullptr);
    ShowWindow(g_state.startupWindow, show);
    g_state.show = SW_SHOWNOACTIVATE;
  } else {
    ShowEncoderWindow();
  }

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  Record("exit");
  return 0;
}
