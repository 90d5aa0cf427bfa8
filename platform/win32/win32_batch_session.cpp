#include "platform/win32/win32_batch_session.hpp"

#include <windows.h>

#include <string>

namespace kavrin::win32 {

// Every instance opens the mutex at its start and owns it only for a batch,
// so that the lock is free whenever no batch runs, whoever holds a handle.
Win32BatchSession::Win32BatchSession(const char* name)
    : mutex_(CreateMutexA(nullptr, FALSE, (std::string("Local\\") + name).c_str())) {}

bool Win32BatchSession::TryLock() {
  // Without a mutex there is nothing to share, and no reason to refuse.
  if (!mutex_) return true;
  // An instance that was killed during its batch leaves the lock abandoned.
  const DWORD result = WaitForSingleObject(mutex_.Get(), 0);
  return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

void Win32BatchSession::Unlock() {
  if (mutex_) ReleaseMutex(mutex_.Get());
}

void Win32BatchSession::KeepAwake(bool awake) {
  SetThreadExecutionState(awake ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
}

}  // namespace kavrin::win32
