// Start-up of kavrin.exe against a bare Win32 window, for bench/startup.sh.
// Each round starts the bare window, the plain window if one is given, then
// kavrin.exe, each from a folder of its own, and times it from just before
// CreateProcess until its main window is visible and answers a sent message:
// by then it has been shown, painted once (all of them paint before their
// message loop) and runs its loop, so a user's input would be handled. Each
// is then closed and awaited. Prints every round, the medians and the
// medians of the rounds' ratios to the bare window.
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

// Milliseconds until the window is up and answering; negative on failure.
double TimeStart(const std::string& exe, const std::string& folder, const char* className) {
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
    DWORD_PTR result = 0;
    if (window != nullptr && SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result) != 0) {
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
  std::string source;
  std::string folder;
  std::string copy;
  std::vector<double> times;
  std::vector<double> ratios;  // To the bare window of the same round.
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
  std::vector<Program> programs{{"bare window", "bare_window.exe", "BareWindow", argv[2]},
                                {"kavrin.exe", "kavrin.exe", "TfKavrin", argv[1]}};
  if (argc > 4) programs.insert(programs.begin() + 1, {"plain window", "plain_window.exe", "PlainWindow", argv[4]});
  for (Program& program : programs) {
    program.folder = FolderFor(program.file);
    program.copy = CopyInto(program.source, program.folder, program.file);
    // One unmeasured start: the first start of a program under Wine pays for
    // reading it from disk.
    TimeStart(program.copy, program.folder, program.className);
  }

  for (int round = 1; round <= rounds; ++round) {
    std::printf("round %2d:", round);
    for (Program& program : programs) {
      const double ms = TimeStart(program.copy, program.folder, program.className);
      if (ms <= 0) return 1;
      program.times.push_back(ms);
      program.ratios.push_back(ms / programs.front().times.back());
      std::printf(" %s %7.1f ms%s", program.name, ms, &program == &programs.back() ? "" : ",");
    }
    std::printf(", ratio %.2f\n", programs.back().ratios.back());
  }
  std::printf("median:");
  for (const Program& program : programs) {
    std::printf(" %s %.1f ms%s", program.name, Median(program.times), &program == &programs.back() ? "\n" : ",");
  }
  if (programs.size() > 2) {
    std::printf("median of the ratios, plain window to bare window: %.2f\n", Median(programs[1].ratios));
  }
  std::printf("median of the ratios: %.2f (goal: 1.30 or less)\n", Median(programs.back().ratios));
  for (const Program& program : programs) {
    DeleteFileA(program.copy.c_str());
    DeleteFileA((program.folder + "\\Kavrin.ini").c_str());
    RemoveDirectoryA(program.folder.c_str());
  }
  return 0;
}
