#include "platform/win32/win32_taskbar_progress.hpp"

#include <shobjidl.h>

#include <utility>

namespace kavrin::win32 {

// Out of line, where the interface is complete: members are destroyed here.
Win32TaskbarProgress::Win32TaskbarProgress(std::function<HWND()> window) : window_(std::move(window)) {}

Win32TaskbarProgress::~Win32TaskbarProgress() { Release(); }

void Win32TaskbarProgress::SetProgress(int done, int total) {
  HWND window = window_ ? window_() : nullptr;
  if (total <= 0 || done < 0) return;
  // The error state stays: SetProgressValue changes only "no progress" to
  // normal.
  if (ITaskbarList3* list = Acquire(window)) {
    list->SetProgressValue(window, static_cast<ULONGLONG>(done), static_cast<ULONGLONG>(total));
  }
}

void Win32TaskbarProgress::SetError() {
  HWND window = window_ ? window_() : nullptr;
  if (ITaskbarList3* list = Acquire(window)) list->SetProgressState(window, TBPF_ERROR);
}

void Win32TaskbarProgress::Clear() {
  // Nothing was shown when the interface was never made.
  HWND window = window_ ? window_() : nullptr;
  if (list_ && window != nullptr && IsWindow(window)) list_.Get()->SetProgressState(window, TBPF_NOPROGRESS);
  Release();
  unavailable_ = false;
}

ITaskbarList3* Win32TaskbarProgress::Acquire(HWND window) {
  if (list_) return list_.Get();
  if (unavailable_ || window == nullptr || !IsWindow(window)) return nullptr;
  unavailable_ = true;
  // RPC_E_CHANGED_MODE: the thread has COM already, in the other model, and
  // it is used as it is.
  const HRESULT init = com_.emplace(COINIT_APARTMENTTHREADED).Result();
  if (FAILED(init) && init != RPC_E_CHANGED_MODE) return nullptr;

  void* created = nullptr;
  if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3, &created)) ||
      created == nullptr) {
    Release();
    return nullptr;
  }
  list_.Reset(static_cast<ITaskbarList3*>(created));
  if (FAILED(list_.Get()->HrInit())) {
    Release();
    return nullptr;
  }
  unavailable_ = false;
  return list_.Get();
}

void Win32TaskbarProgress::Release() {
  list_.Reset();
  com_.reset();
}

}  // namespace kavrin::win32
