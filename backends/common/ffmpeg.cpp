#include "backends/common/ffmpeg.hpp"

#include <atomic>
#include <mutex>
#include <sstream>
#include <thread>
#include <utility>

#include "backends/common/ffmpeg_messages.hpp"
#include "platform/win32/unique_resource.hpp"

namespace kavrin::backends {
namespace {

std::wstring Widen(const std::string& text, UINT codePage) {
  if (text.empty()) return {};
  int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

bool FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

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

// The job of every ffmpeg this process starts: when the process ends, even
// killed, its last handle closes and the job ends them all.
HANDLE KillOnCloseJob() {
  static const win32::UniqueHandle job = [] {
    win32::UniqueHandle made(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (made && !SetInformationJobObject(made.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits))
      made.Reset();
    return made;
  }();
  return job.Get();
}

// ffmpeg's error output goes to a file that vanishes with its last handle:
// a pipe would need a reader of its own to keep ffmpeg from blocking on it.
win32::UniqueHandle MessageFile() {
  wchar_t folder[MAX_PATH + 1];
  wchar_t name[MAX_PATH + 1];
  if (GetTempPathW(MAX_PATH + 1, folder) == 0 || GetTempFileNameW(folder, L"kff", 0, name) == 0) return {};
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  win32::UniqueHandle file(CreateFileW(name, GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (!file) DeleteFileW(name);
  return file;
}

std::string ReadWhole(HANDLE file) {
  LARGE_INTEGER size{};
  GetFileSizeEx(file, &size);
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  std::string text(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!text.empty() && !ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr)) read = 0;
  text.resize(read);
  return text;
}

// Reads ffmpeg's standard output into `output` until ffmpeg closes it; a
// failed read is an error, not the end of the output.
std::string Drain(HANDLE pipe, HANDLE process, const FfmpegOutput& output) {
  std::string buffer(1 << 16, '\0');
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(pipe, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) {
      DWORD error = GetLastError();
      if (error == ERROR_BROKEN_PIPE) return {};
      TerminateProcess(process, 1);
      return "ffmpeg's output could not be read (" + ErrorText(error) + ")";
    }
    if (read > 0 && !output(buffer.data(), read)) {
      TerminateProcess(process, 1);
      return "ffmpeg's output could not be taken";
    }
  }
}

// The last line that says something, for messages without level marks.
std::string LastLine(const std::string& messages) {
  std::string last;
  std::istringstream lines(messages);
  for (std::string line; std::getline(lines, line);) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (!line.empty()) last = line;
  }
  return last;
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

std::string Utf8ToAnsi(const std::string& text) {
  std::wstring wide = Widen(text, CP_UTF8);
  if (wide.empty()) return {};
  int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(), length, nullptr, nullptr);
  return ansi;
}

std::string ErrorText(DWORD code) {
  std::string text = "error " + std::to_string(code);
  char* message = nullptr;
  DWORD length =
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
                     nullptr, code, 0, reinterpret_cast<char*>(&message), 0, nullptr);
  if (message == nullptr) return text;
  const win32::UniqueLocal<char> owner(message);
  std::string words(message, length);
  while (!words.empty() && static_cast<unsigned char>(words.back()) <= ' ') words.pop_back();
  return words.empty() ? text : text + ": " + words;
}

bool WriteWhole(HANDLE file, const void* data, std::size_t size, OVERLAPPED* at) {
  DWORD done = 0;
  if (!WriteFile(file, data, static_cast<DWORD>(size), &done, at)) return false;
  if (done != size) SetLastError(ERROR_DISK_FULL);
  return done == size;
}

bool WhenFree(const std::function<BOOL()>& step) {
  for (int tries = 0;; ++tries) {
    if (step() != FALSE) return true;
    if (GetLastError() != ERROR_SHARING_VIOLATION || tries == 100) return false;
    Sleep(20);
  }
}

std::string FfmpegResult::Reason() const {
  if (!Started) return Messages.empty() ? "ffmpeg could not be started" : Messages;
  if (Cancelled) return "cancelled";
  std::string reason = FfmpegErrors(Messages);
  if (reason.empty()) reason = LastLine(Messages);
  if (!OutputError.empty()) reason = reason.empty() ? OutputError : OutputError + " (" + reason + ")";
  if (ExitCode == 0) return reason;
  std::string code = "ffmpeg ended with exit code " + std::to_string(ExitCode);
  return reason.empty() ? code : reason + " (" + code + ")";
}

std::optional<Ffmpeg> Ffmpeg::Find() { return At(ModuleFolder() + "ffmpeg.exe"); }

std::optional<Ffmpeg> Ffmpeg::At(const std::string& path) {
  if (!FileExists(path)) return std::nullopt;
  return Ffmpeg(path);
}

std::wstring Ffmpeg::FileArgument(const std::string& path) { return Widen(path, CP_ACP); }

std::wstring Ffmpeg::Text(const std::string& ascii) { return Widen(ascii, CP_ACP); }

FfmpegResult Ffmpeg::Run(const std::vector<std::wstring>& arguments, HANDLE cancel, const FfmpegOutput& output) const {
  return Execute(arguments, nullptr, cancel, output);
}

FfmpegResult Ffmpeg::RunInto(const std::vector<std::wstring>& arguments, HANDLE file, HANDLE cancel) const {
  return Execute(arguments, file, cancel, nullptr);
}

FfmpegResult Ffmpeg::Execute(const std::vector<std::wstring>& arguments, HANDLE file, HANDLE cancel,
                             const FfmpegOutput& output) const {
  FfmpegResult result;
  win32::UniqueHandle messages;
  win32::UniqueHandle pipeRead;
  win32::UniqueHandle childOutput;
  win32::UniqueHandle process;
  {
    // A child inherits every inheritable handle that exists when it starts:
    // one started meanwhile on another thread would hold this pipe open after
    // ffmpeg ends, and its reader would wait for that child too.
    static std::mutex starting;
    const std::lock_guard<std::mutex> lock(starting);
    messages = MessageFile();
    if (!messages) {
      result.Messages = "no temporary file for ffmpeg's messages";
      return result;
    }
    if (output) {
      SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
      HANDLE read = nullptr;
      HANDLE write = nullptr;
      if (!CreatePipe(&read, &write, &inherit, 1 << 20)) {
        result.Messages = "no pipe for ffmpeg's output";
        return result;
      }
      pipeRead = win32::UniqueHandle(read);
      childOutput = win32::UniqueHandle(write);
      SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    } else if (file != nullptr) {
      // The duplicate shares the file's position: ffmpeg writes on from it.
      HANDLE self = GetCurrentProcess();
      if (!DuplicateHandle(self, file, self, childOutput.Receive(), 0, TRUE, DUPLICATE_SAME_ACCESS)) {
        result.Messages = "ffmpeg's output file cannot be handed on (" + ErrorText(GetLastError()) + ")";
        return result;
      }
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = childOutput ? childOutput.Get() : messages.Get();
    startup.hStdError = messages.Get();
    PROCESS_INFORMATION started{};
    const std::wstring program = Widen(location_, CP_ACP);
    std::wstring line = CommandLine(program, arguments);
    // Suspended until it is in the job, so that not even its first steps can
    // outlive us.
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW | CREATE_SUSPENDED,
                        nullptr, nullptr, &startup, &started)) {
      result.Messages = "ffmpeg could not be started: " + location_ + " (" + ErrorText(GetLastError()) + ")";
      return result;
    }
    process = win32::UniqueHandle(started.hProcess);
    win32::UniqueHandle thread(started.hThread);
    HANDLE job = KillOnCloseJob();
    // Only a process already in a job that allows no other (Windows 7) is
    // refused; ffmpeg then runs outside one, still stopped on cancel.
    if (job != nullptr) AssignProcessToJobObject(job, process.Get());
    ResumeThread(thread.Get());
    childOutput.Reset();
    SetHandleInformation(messages.Get(), HANDLE_FLAG_INHERIT, 0);
  }
  result.Started = true;

  if (output) {
    // A cancel must also end a read that waits for ffmpeg's next output.
    std::atomic<bool> cancelled = false;
    std::thread watch;
    if (cancel != nullptr) {
      try {
        watch = std::thread([&] {
          if (!WaitUnlessCancelled(process.Get(), cancel)) {
            cancelled = true;
            TerminateProcess(process.Get(), 1);
          }
        });
      } catch (...) {
        // Not left running unwatched.
        TerminateProcess(process.Get(), 1);
        throw;
      }
    }
    result.OutputError = Drain(pipeRead.Get(), process.Get(), output);
    WaitForSingleObject(process.Get(), INFINITE);
    if (watch.joinable()) watch.join();
    result.Cancelled = cancelled;
  } else if (!WaitUnlessCancelled(process.Get(), cancel)) {
    TerminateProcess(process.Get(), 1);
    WaitForSingleObject(process.Get(), INFINITE);
    result.Cancelled = true;
  }
  DWORD exitCode = 1;
  GetExitCodeProcess(process.Get(), &exitCode);
  result.ExitCode = static_cast<int>(exitCode);
  result.Messages = Utf8ToAnsi(ReadWhole(messages.Get()));
  if (result.Cancelled) result.OutputError.clear();
  return result;
}

}  // namespace kavrin::backends
