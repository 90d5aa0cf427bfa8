// Start-up of kavrin.exe against the plain window (its first screen built
// with plain Win32 calls) and a bare Win32 window, for bench/startup.sh.
// Each round starts the bare window, the plain window if one is given, then
// kavrin.exe, each from a folder of its own, and times it from just before
// CreateProcess until the first screen is complete: the main window and
// every child of it that is shown have painted (none has an update region
// left), the work a program defers until after its first paint is done,
// and the window answers a sent message, so its loop runs and a user's input
// would be handled. Each is then closed and awaited. Prints every round, the
// medians and the medians of the rounds' ratios.
//   startup_bench.exe KAVRIN_EXE BARE_EXE [ROUNDS [PLAIN_EXE]]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Search {
  DWORD process;
  const char* className;
  HWND found;
};

HWND VisibleWindowOf(DWORD process, const char* className) {
  Search search{process, className, nullptr};
  EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(context);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        if (owner == s.process && IsWindowVisible(window) && std::string(name) == s.className) {
          s.found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Whether `window` and every child of it that is shown have painted: the
// system keeps an update region for a window until its WM_PAINT is handled.
bool PaintedAll(HWND window) {
  if (GetUpdateRect(window, nullptr, FALSE) != FALSE) return false;
  bool painted = true;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM context) -> BOOL {
        if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE) != FALSE) {
          *reinterpret_cast<bool*>(context) = false;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&painted));
  return painted;
}

// Whether a window of `window`'s, shown or not, has the caption `made`.
bool Holds(HWND window, const char* made) {
  bool found = false;
  struct Context {
    const char* caption;
    bool* found;
  } context{made, &found};
  EnumChildWindows(
      window,
      [](HWND child, LPARAM pointer) -> BOOL {
        auto& c = *reinterpret_cast<Context*>(pointer);
        char text[64] = {};
        GetWindowTextA(child, text, sizeof text);
        if (std::string(text) != c.caption) return TRUE;
        *c.found = true;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&context));
  return found;
}

// The first screen is complete. `deferred`, if given, is the caption of a
// window that the program makes in the work it defers until after its
// first paint: once it exists, the answer to a sent message comes only when
// that work has returned to the message loop.
bool Complete(HWND window, const char* deferred) {
  if (window == nullptr || !PaintedAll(window)) return false;
  if (deferred != nullptr && !Holds(window, deferred)) return false;
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result) != 0 && PaintedAll(window);
}

// Milliseconds until the first screen is complete; negative on failure.
double TimeStart(const std::string& exe, const std::string& folder, const char* className, const char* deferred) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string commandLine = "\"" + exe + "\"";
  const Clock::time_point begin = Clock::now();
  if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &info)) {
    std::fprintf(stderr, "cannot start %s: error %lu\n", exe.c_str(), GetLastError());
    return -1;
  }
  CloseHandle(info.hThread);
  double elapsed = -1;
  const Clock::time_point deadline = begin + std::chrono::seconds(60);
  HWND window = nullptr;
  while (Clock::now() < deadline) {
    window = VisibleWindowOf(info.dwProcessId, className);
    if (Complete(window, deferred)) {
      elapsed = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
      break;
    }
    Sleep(1);
  }
  if (window != nullptr) PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(info.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(info.hProcess, 1);
  CloseHandle(info.hProcess);
  if (elapsed < 0) std::fprintf(stderr, "%s showed no window in time\n", exe.c_str());
  return elapsed;
}

std::string FolderFor(const char* name) {
  char base[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, base);
  std::string folder = std::string(base) + "kavrin-startup-" + std::to_string(GetCurrentProcessId()) + "-" + name;
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

// A copy in its own folder, so that kavrin.exe finds no settings but its own.
std::string CopyInto(const std::string& exe, const std::string& folder, const char* name) {
  const std::string copy = folder + "\\" + name;
  if (!CopyFileA(exe.c_str(), copy.c_str(), FALSE)) {
    std::fprintf(stderr, "cannot copy %s: error %lu\n", exe.c_str(), GetLastError());
    std::exit(1);
  }
  return copy;
}

struct Program {
  const char* name;
  const char* file;
  const char* className;
  const char* deferred;  // See Complete.
  std::string source;
  std::string folder;
  std::string copy;
  std::vector<double> times;
  std::vector<double> ratios;  // To the program before it in the same round.
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s KAVRIN_EXE BARE_EXE [ROUNDS [PLAIN_EXE]]\n", argv[0]);
    return 2;
  }
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 20;
  // Kavrin builds the drop-down's panel, OK first, just after its first paint.
  std::vector<Program> programs{{"bare window", "bare_window.exe", "BareWindow", nullptr, argv[2]},
                                {"kavrin.exe", "kavrin.exe", "TfKavrin", "OK", argv[1]}};
  if (argc > 4) {
    programs.insert(programs.begin() + 1, {"plain window", "plain_window.exe", "PlainWindow", nullptr, argv[4]});
  }
  for (Program& program : programs) {
    program.folder = FolderFor(program.file);
    program.copy = CopyInto(program.source, program.folder, program.file);
    // One unmeasured start: the first start of a program under Wine pays for
    // reading it from disk.
    TimeStart(program.copy, program.folder, program.className, program.deferred);
  }

  for (int round = 1; round <= rounds; ++round) {
    std::printf("round %2d:", round);
    for (size_t index = 0; index < programs.size(); ++index) {
      Program& program = programs[index];
      const double ms = TimeStart(program.copy, program.folder, program.className, program.deferred);
      if (ms <= 0) return 1;
      program.times.push_back(ms);
      program.ratios.push_back(index == 0 ? 1.0 : ms / programs[index - 1].times.back());
      std::printf(" %s %7.1f ms%s", program.name, ms, &program == &programs.back() ? "" : ",");
    }
    std::printf(", ratio %.2f\n", programs.back().ratios.back());
  }
  std::printf("median:");
  for (const Program& program : programs) {
    std::printf(" %s %.1f ms%s", program.name, Median(program.times), &program == &programs.back() ? "\n" : ",");
  }
  for (size_t index = 1; index < programs.size(); ++index) {
    std::printf("median of the ratios, %s to %s: %.2f%s\n", programs[index].name, programs[index - 1].name,
                Median(programs[index].ratios), index == 2 ? " (goal: 1.20 or less)" : "");
  }
  for (const Program& program : programs) {
    DeleteFileA(program.copy.c_str());
    DeleteFileA((program.folder + "\\Kavrin.ini").c_str());
    RemoveDirectoryA(program.folder.c_str());
  }
  return 0;
}
