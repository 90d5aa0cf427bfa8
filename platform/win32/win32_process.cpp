#include "platform/win32/win32_process.hpp"

#include <windows.h>

#include <vector>

#include "platform/win32/unique_resource.hpp"

namespace kavrin::win32 {

namespace {

class Win32ChildProcess final : public ChildProcess {
 public:
  Win32ChildProcess(HANDLE process, HANDLE thread, DWORD id) : process_(process), thread_(thread), id_(id) {}

  std::uint32_t Id() const override { return id_; }

  bool QueryExitCode(std::uint32_t& code) override {
    DWORD value = 0;
    if (!process_ || GetExitCodeProcess(process_.Get(), &value) == FALSE) return false;
    code = value;
    return true;
  }

  bool HasEnded() override { return process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_OBJECT_0; }

  void CloseHandles() override {
    process_.Reset();
    thread_.Reset();
  }

 private:
  UniqueHandle process_;
  UniqueHandle thread_;
  DWORD id_;
};

}  // namespace

Win32ProcessLauncher::Win32ProcessLauncher() : job_(CreateJobObjectA(nullptr, nullptr)) {
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (job_ && SetInformationJobObject(job_.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits) == FALSE)
    job_.Reset();
}

std::unique_ptr<ChildProcess> Win32ProcessLauncher::Start(const std::optional<std::string>& applicationName,
                                                          const std::string& commandLine,
                                                          const std::optional<std::string>& currentFolder) {
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMINNOACTIVE;

  PROCESS_INFORMATION info;
  ZeroMemory(&info, sizeof info);

  // CreateProcessA may write into the command line, so it gets its own copy.
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');

  // "Inherit handles" goes over with every bit set, as the program always passed it.
  const BOOL inheritHandles = static_cast<BOOL>(-1);
  // Held until it is in the job, so that not even its first steps escape it.
  const BOOL started = CreateProcessA(applicationName ? applicationName->c_str() : nullptr, line.data(), nullptr,
                                      nullptr, inheritHandles, NORMAL_PRIORITY_CLASS | CREATE_SUSPENDED, nullptr,
                                      currentFolder ? currentFolder->c_str() : nullptr, &startup, &info);
  if (started == FALSE) return nullptr;
  // Refused only where Kavrin itself runs in a job that allows no other
  // (before Windows 8); the child then runs as it always did.
  if (job_) AssignProcessToJobObject(job_.Get(), info.hProcess);
  ResumeThread(info.hThread);
  return std::make_unique<Win32ChildProcess>(info.hProcess, info.hThread, info.dwProcessId);
}

}  // namespace kavrin::win32
