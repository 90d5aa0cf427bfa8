#pragma once

#include <windows.h>
// After windows.h, which they need.
#include <objbase.h>
#include <shellapi.h>

#include <utility>

namespace kavrin::win32 {

// Owns one resource and frees it once. `Traits` gives the Handle type, its
// Empty() value, IsValid(handle) and Close(handle); a handle that is not valid
// is kept as the empty one, so Get() never returns a failure marker.
template <class Traits>
class UniqueResource {
 public:
  using Handle = typename Traits::Handle;

  UniqueResource() = default;
  explicit UniqueResource(Handle handle) { Reset(handle); }
  ~UniqueResource() { Reset(); }
  UniqueResource(UniqueResource&& other) noexcept : handle_(other.Release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;

  Handle Get() const { return handle_; }
  explicit operator bool() const { return Traits::IsValid(handle_); }
  Handle Release() { return std::exchange(handle_, Traits::Empty()); }
  void Reset(Handle handle = Traits::Empty()) {
    const Handle old = std::exchange(handle_, Traits::IsValid(handle) ? handle : Traits::Empty());
    if (Traits::IsValid(old)) Traits::Close(old);
  }
  // For calls that hand out a new handle through a pointer.
  Handle* Receive() {
    Reset();
    return &handle_;
  }

 private:
  Handle handle_ = Traits::Empty();
};

// A handle that is null when empty, freed by one call.
template <class H, auto Free>
struct NullIsEmpty {
  using Handle = H;
  static Handle Empty() { return nullptr; }
  static bool IsValid(Handle handle) { return handle != nullptr; }
  static void Close(Handle handle) { Free(handle); }
};

// Kernel calls report failure as null or as INVALID_HANDLE_VALUE, by call.
template <auto Free>
struct KernelHandle : NullIsEmpty<HANDLE, Free> {
  static bool IsValid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
};

using UniqueHandle = UniqueResource<KernelHandle<&CloseHandle>>;
using UniqueFind = UniqueResource<KernelHandle<&FindClose>>;
using UniqueHkey = UniqueResource<NullIsEmpty<HKEY, &RegCloseKey>>;
template <class T>
using UniqueLocal = UniqueResource<NullIsEmpty<T*, &LocalFree>>;
using UniqueModule = UniqueResource<NullIsEmpty<HMODULE, &FreeLibrary>>;
using UniqueIcon = UniqueResource<NullIsEmpty<HICON, &DestroyIcon>>;
using UniqueDrop = UniqueResource<NullIsEmpty<HDROP, &DragFinish>>;
template <class H>
using UniqueGdiObject = UniqueResource<NullIsEmpty<H, &DeleteObject>>;
using UniqueFont = UniqueGdiObject<HFONT>;
using UniqueRegion = UniqueGdiObject<HRGN>;
using UniqueMemoryDc = UniqueResource<NullIsEmpty<HDC, &DeleteDC>>;

// A window's device context goes back to that window.
struct WindowDcTraits {
  struct Handle {
    HWND window;
    HDC dc;
  };
  static Handle Empty() { return {}; }
  static bool IsValid(const Handle& handle) { return handle.dc != nullptr; }
  static void Close(const Handle& handle) { ReleaseDC(handle.window, handle.dc); }
};
using WindowDc = UniqueResource<WindowDcTraits>;
inline WindowDc GetWindowDc(HWND window) { return WindowDc({window, GetDC(window)}); }

// What a device context had selected before comes back, before the selected
// object itself may be deleted.
struct SelectionTraits {
  struct Handle {
    HDC dc;
    HGDIOBJ old;
  };
  static Handle Empty() { return {}; }
  static bool IsValid(const Handle& handle) { return handle.old != nullptr; }
  static void Close(const Handle& handle) { SelectObject(handle.dc, handle.old); }
};
using Selection = UniqueResource<SelectionTraits>;
inline Selection SelectInto(HDC dc, HGDIOBJ object) { return Selection({dc, SelectObject(dc, object)}); }

// Memory lent in another process.
struct RemoteMemoryTraits {
  struct Handle {
    HANDLE process;
    void* address;
  };
  static Handle Empty() { return {}; }
  static bool IsValid(const Handle& handle) { return handle.address != nullptr; }
  static void Close(const Handle& handle) { VirtualFreeEx(handle.process, handle.address, 0, MEM_RELEASE); }
};
using RemoteMemory = UniqueResource<RemoteMemoryTraits>;

// One reference to a COM object. Close is made only where it is called, so
// a header may hold a pointer to an interface it only declares.
template <class Interface>
struct ComReference {
  using Handle = Interface*;
  static Handle Empty() { return nullptr; }
  static bool IsValid(Handle pointer) { return pointer != nullptr; }
  static void Close(Handle pointer) { pointer->Release(); }
};
template <class Interface>
using ComPointer = UniqueResource<ComReference<Interface>>;

// COM for this thread for the guard's lifetime. CoUninitialize is owed only
// for an initialisation that succeeded: RPC_E_CHANGED_MODE means the thread
// has COM already, in the other model, and it is left as it is.
class ComInitialisation {
 public:
  explicit ComInitialisation(DWORD model) : result_(CoInitializeEx(nullptr, model)) {}
  ~ComInitialisation() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComInitialisation(const ComInitialisation&) = delete;
  ComInitialisation& operator=(const ComInitialisation&) = delete;

  HRESULT Result() const { return result_; }

 private:
  HRESULT result_;
};

}  // namespace kavrin::win32
