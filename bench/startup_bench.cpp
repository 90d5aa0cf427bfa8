// Start-up of kavrin.exe against a bare Win32 window, for bench/startup.sh.
// Each round starts the bare window, then kavrin.exe, each from a folder of
// its own, and times it from just before CreateProcess until its main window
// is visible and answers a sent message: by then it has been shown, painted
// once (both programs paint before their message loop) and runs its loop, so
// a user's input would be handled. Each is then closed and awaited. Prints
// every round, the medians and the median of the rounds' ratios.
//   startup_bench.exe KAVRIN_EXE BARE_EXE [ROUNDS]
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

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s KAVRIN_EXE BARE_EXE [ROUNDS]\n", argv[0]);
    return 2;
  }
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 20;
  const std::string kavrinFolder = FolderFor("kavrin");
  const std::string bareFolder = FolderFor("bare");
  const std::string kavrin = CopyInto(argv[1], kavrinFolder, "kavrin.exe");
  const std::string bare = CopyInto(argv[2], bareFolder, "bare_window.exe");

  // One unmeasured start of each: the first start of a program under Wine
  // pays for reading it from disk.
  TimeStart(bare, bareFolder, "BareWindow");
  TimeStart(kavrin, kavrinFolder, "TfKavrin");

  std::vector<double> bareTimes, kavrinTimes, ratios;
  for (int round = 1; round <= rounds; ++round) {
    const double bareMs = TimeStart(bare, bareFolder, "BareWindow");
    const double kavrinMs = TimeStart(kavrin, kavrinFolder, "TfKavrin");
    if (bareMs <= 0 || kavrinMs <= 0) return 1;
    bareTimes.push_back(bareMs);
    kavrinTimes.push_back(kavrinMs);
    ratios.push_back(kavrinMs / bareMs);
    std::printf("round %2d: bare window %7.1f ms, kavrin.exe %7.1f ms, ratio %.2f\n", round, bareMs, kavrinMs,
                kavrinMs / bareMs);
  }
  std::printf("median: bare window %.1f ms, kavrin.exe %.1f ms\n", Median(bareTimes), Median(kavrinTimes));
  std::printf("median of the ratios: %.2f (goal: 1.30 or less)\n", Median(ratios));
  DeleteFileA(kavrin.c_str());
  DeleteFileA(bare.c_str());
  DeleteFileA((kavrinFolder + "\\Kavrin.ini").c_str());
  RemoveDirectoryA(kavrinFolder.c_str());
  RemoveDirectoryA(bareFolder.c_str());
  return 0;
}
