#pragma once

#include "platform/batch_session.hpp"
#include "platform/win32/unique_resource.hpp"

namespace kavrin::win32 {

// A named mutex in the session's namespace, and SetThreadExecutionState.
class Win32BatchSession final : public BatchSession {
 public:
  // The mutex's name without its "Local\" prefix.
  explicit Win32BatchSession(const char* name = "Kavrin.Batch");

  bool TryLock() override;
  void Unlock() override;
  void KeepAwake(bool awake) override;

 private:
  UniqueHandle mutex_;
};

}  // namespace kavrin::win32
