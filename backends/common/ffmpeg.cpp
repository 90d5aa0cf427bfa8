#include "backends/common/ffmpeg.hpp"

#include <fstream>
#include <iterator>
#include <sstream>
#include <utility>

#include "platform/win32/unique_resource.hpp"

namespace kavrin::backends {
namespace {

using UnixFileNameFn = char*(CDECL*)(LPCWSTR);
using DosFileNameFn = WCHAR*(CDECL*)(LPCSTR);

// Wine's own exports; absent on Windows.
UnixFileNameFn WineUnixFileName() {
  return reinterpret_cast<UnixFileNameFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
}
DosFileNameFn WineDosFileName() {
  return reinterpret_cast<DosFileNameFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
}

std::wstring Widen(const std::string& text, UINT codePage) {
  if (text.empty()) return {};
  int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::wstring FullPath(const std::wstring& path) {
  DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (length == 0) return path;
  std::wstring full(length, L'\0');
  length = GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
  full.resize(length);
  return full;
}

// The Unix name of a Windows path, as UTF-8; empty if Wine cannot map it.
std::string UnixPath(const std::wstring& windowsPath) {
  UnixFileNameFn toUnix = WineUnixFileName();
  if (toUnix == nullptr) return {};
  char* unixPath = toUnix(FullPath(windowsPath).c_str());
  if (unixPath == nullptr) return {};
  std::string result(unixPath);
  HeapFree(GetProcessHeap(), 0, unixPath);
  return result;
}

// Whether a Unix file exists, seen through Wine's mapping of the Unix tree.
bool UnixFileExists(const char* unixPath) {
  DosFileNameFn toDos = WineDosFileName();
  if (toDos == nullptr) return false;
  WCHAR* dosPath = toDos(unixPath);
  if (dosPath == nullptr) return false;
  bool exists = GetFileAttributesW(dosPath) != INVALID_FILE_ATTRIBUTES;
  HeapFree(GetProcessHeap(), 0, dosPath);
  return exists;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ModuleFolder() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of('\\') + 1);
}

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::wstring CommandLine(const std::wstring& program, const std::vector<std::wstring>& arguments) {
  std::wstring line = QuoteArgument(program);
  for (const std::wstring& argument : arguments) line += L" " + QuoteArgument(argument);
  return line;
}

// Waits for `object` or `cancel`; true if the object was signalled.
bool WaitUnlessCancelled(HANDLE object, HANDLE cancel) {
  HANDLE handles[] = {object, cancel};
  DWORD count = cancel != nullptr ? 2 : 1;
  return WaitForMultipleObjects(count, handles, FALSE, INFINITE) == WAIT_OBJECT_0;
}

bool IsCancelled(HANDLE cancel, DWORD waitMs) {
  if (cancel == nullptr) {
    Sleep(waitMs);
    return false;
  }
  return WaitForSingleObject(cancel, waitMs) == WAIT_OBJECT_0;
}

// A Unix program started through Wine runs detached: there is no handle to
// wait on and no exit code, so its start is all we learn here.
bool StartUnixProgram(const std::wstring& commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring line = commandLine;
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                      &process))
    return false;
  if (process.hThread != nullptr) CloseHandle(process.hThread);
  if (process.hProcess != nullptr) CloseHandle(process.hProcess);
  return true;
}

// Runs the Unix program and then records its exit code in "<base>.done"
// (written under another name and renamed, so that it is read whole); its
// error output goes to "<base>.log", its process id and the shell's to
// "<base>.pid".
constexpr wchar_t kUnixWrapper[] =
    L"exec 2>/dev/null; b=$1; shift; echo $$ >\"$b.sh\"; \"$@\" </dev/null >/dev/null 2>\"$b.log\" & echo $! "
    L">\"$b.pid\"; "
    L"wait $!; echo $? >\"$b.tmp\" && mv \"$b.tmp\" \"$b.done\"";

// The first number in a file, or 0.
long ReadNumber(const std::string& path) {
  std::istringstream text(ReadText(path));
  long number = 0;
  text >> number;
  return number;
}

// A shell that has not written its process id yet gets half a minute to start.
bool ShellAlive(long pid, int tick) {
  if (pid <= 0) return tick < 1500;
  return UnixFileExists(("/proc/" + std::to_string(pid)).c_str());
}

}  // namespace

std::wstring QuoteArgument(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) return argument;
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count as escapes only before a quote.
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

std::string FfmpegResult::Reason() const {
  if (!Started) return Messages.empty() ? "ffmpeg could not be started" : Messages;
  if (Cancelled) return "cancelled";
  std::string last;
  std::istringstream lines(Messages);
  for (std::string line; std::getline(lines, line);) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (!line.empty()) last = line;
  }
  if (ExitCode == 0) return last;
  std::string code = "ffmpeg ended with exit code " + std::to_string(ExitCode);
  return last.empty() ? code : last + " (" + code + ")";
}

std::optional<Ffmpeg> Ffmpeg::Find() {
  std::string beside = ModuleFolder() + "ffmpeg.exe";
  if (FileExists(beside)) return Ffmpeg(Widen(beside, CP_ACP), beside, false);
  if (WineUnixFileName() != nullptr) {
    for (const char* unixPath : {"/usr/bin/ffmpeg", "/usr/local/bin/ffmpeg"}) {
      if (UnixFileExists(unixPath) && UnixFileExists("/bin/sh"))
        return Ffmpeg(Widen(unixPath, CP_UTF8), unixPath, true);
    }
  }
  std::string onPath(MAX_PATH, '\0');
  DWORD length = SearchPathA(nullptr, "ffmpeg.exe", nullptr, static_cast<DWORD>(onPath.size()), onPath.data(), nullptr);
  if (length > onPath.size()) {
    onPath.resize(length);
    length = SearchPathA(nullptr, "ffmpeg.exe", nullptr, length, onPath.data(), nullptr);
  }
  if (length == 0 || length > onPath.size()) return std::nullopt;
  onPath.resize(length);
  return Ffmpeg(Widen(onPath, CP_ACP), onPath, false);
}

std::wstring Ffmpeg::FileArgument(const std::string& path) const {
  std::wstring windowsPath = Widen(path, CP_ACP);
  if (!unixProgram_) return windowsPath;
  std::string unixPath = UnixPath(windowsPath);
  // A path Wine cannot map is handed on as it is; ffmpeg then reports it.
  return unixPath.empty() ? windowsPath : Widen(unixPath, CP_UTF8);
}

std::wstring Ffmpeg::Text(const std::string& ascii) { return Widen(ascii, CP_ACP); }

FfmpegResult Ffmpeg::Run(const std::vector<std::wstring>& arguments, HANDLE cancel) const {
  return unixProgram_ ? RunUnixProgram(arguments, cancel) : RunWindowsProgram(arguments, cancel);
}

FfmpegResult Ffmpeg::RunWindowsProgram(const std::vector<std::wstring>& arguments, HANDLE cancel) const {
  FfmpegResult result;
  // The error output goes to a file that vanishes with its last handle: a pipe
  // would need a reader thread to keep ffmpeg from blocking on it.
  wchar_t folder[MAX_PATH + 1];
  wchar_t logName[MAX_PATH + 1];
  if (GetTempPathW(MAX_PATH + 1, folder) == 0 || GetTempFileNameW(folder, L"kff", 0, logName) == 0) {
    result.Messages = "no temporary file for ffmpeg's messages";
    return result;
  }
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  win32::UniqueHandle log(CreateFileW(logName, GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (!log) {
    DeleteFileW(logName);
    result.Messages = "no temporary file for ffmpeg's messages";
    return result;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nullptr;
  startup.hStdOutput = log.Get();
  startup.hStdError = log.Get();
  PROCESS_INFORMATION started{};
  std::wstring line = CommandLine(program_, arguments);
  if (!CreateProcessW(program_.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                      &startup, &started)) {
    result.Messages = "ffmpeg could not be started: " + location_;
    return result;
  }
  win32::UniqueHandle process(started.hProcess);
  win32::UniqueHandle thread(started.hThread);
  result.Started = true;
  if (!WaitUnlessCancelled(process.Get(), cancel)) {
    TerminateProcess(process.Get(), 1);
    WaitForSingleObject(process.Get(), INFINITE);
    result.Cancelled = true;
  }
  DWORD exitCode = 1;
  GetExitCodeProcess(process.Get(), &exitCode);
  result.ExitCode = static_cast<int>(exitCode);

  LARGE_INTEGER size{};
  GetFileSizeEx(log.Get(), &size);
  SetFilePointer(log.Get(), 0, nullptr, FILE_BEGIN);
  result.Messages.resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!result.Messages.empty() &&
      !ReadFile(log.Get(), result.Messages.data(), static_cast<DWORD>(result.Messages.size()), &read, nullptr))
    read = 0;
  result.Messages.resize(read);
  return result;
}

FfmpegResult Ffmpeg::RunUnixProgram(const std::vector<std::wstring>& arguments, HANDLE cancel) const {
  FfmpegResult result;
  char folder[MAX_PATH + 1];
  char baseName[MAX_PATH + 1];
  if (GetTempPathA(MAX_PATH + 1, folder) == 0 || GetTempFileNameA(folder, "kff", 0, baseName) == 0) {
    result.Messages = "no temporary file for ffmpeg's messages";
    return result;
  }
  const std::string base = baseName;
  const std::string unixBase = UnixPath(Widen(base, CP_ACP));
  auto cleanUp = [&base] {
    for (const char* suffix : {"", ".sh", ".log", ".pid", ".tmp", ".done"}) DeleteFileA((base + suffix).c_str());
  };
  if (unixBase.empty()) {
    cleanUp();
    result.Messages = "no Unix name for the temporary folder";
    return result;
  }

  std::vector<std::wstring> words = {Text("-c"), kUnixWrapper, Text("kavrin-ffmpeg"), Widen(unixBase, CP_UTF8),
                                     program_};
  words.insert(words.end(), arguments.begin(), arguments.end());
  if (!StartUnixProgram(CommandLine(L"/bin/sh", words))) {
    cleanUp();
    result.Messages = "ffmpeg could not be started: " + location_;
    return result;
  }
  result.Started = true;

  // Polled: the shell's own process is out of Wine's reach. A shell that
  // vanished without writing its status (killed from outside) ends the wait.
  const std::string done = base + ".done";
  bool killSent = false;
  for (int tick = 0; !FileExists(done); ++tick) {
    if (!killSent && IsCancelled(cancel, 20)) {
      result.Cancelled = true;
      long pid = ReadNumber(base + ".pid");
      if (pid > 0) StartUnixProgram(L"/bin/kill -TERM " + std::to_wstring(pid));
      killSent = true;
    } else if (killSent) {
      Sleep(20);
    }
    if (tick % 50 == 49 && !ShellAlive(ReadNumber(base + ".sh"), tick) && !FileExists(done)) {
      result.ExitCode = -1;
      result.Messages = "ffmpeg ended without telling how";
      cleanUp();
      return result;
    }
  }
  result.ExitCode = static_cast<int>(ReadNumber(done));
  result.Messages = ReadText(base + ".log");
  cleanUp();
  return result;
}

}  // namespace kavrin::backends
