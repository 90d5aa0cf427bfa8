#include <windows.h>
#include <gtest/gtest.h>

#include "platform/win32/unique_resource.hpp"
#include "platform/win32/win32_taskbar_progress.hpp"

namespace kavrin::win32 {
namespace {

// A top-level window. It stays hidden: a shown one would have a taskbar
// button, but Wine's taskbar interface only stubs the calls, and withdrawing
// a shown window without a window manager costs seconds. What is tested is
// that the calls are harmless and COM is left as it was found.
class TestWindow {
 public:
  TestWindow()
      : window_(CreateWindowExA(0, "STATIC", "Kavrin taskbar test", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr)) {}
  ~TestWindow() { Destroy(); }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND Get() const { return window_; }
  void Destroy() {
    if (window_ != nullptr) DestroyWindow(window_);
    window_ = nullptr;
  }

 private:
  HWND window_;
};

// S_OK from a fresh initialisation means nobody left COM initialised on
// this thread; the probe's own initialisation is undone again.
bool ComIsUninitialised() { return ComInitialisation(COINIT_APARTMENTTHREADED).Result() == S_OK; }

void RunABatch(Win32TaskbarProgress& progress) {
  progress.SetProgress(0, 3);
  progress.SetProgress(1, 3);
  progress.SetError();
  progress.SetProgress(2, 3);
  progress.SetProgress(3, 3);
  progress.Clear();
}

TEST(TaskbarProgressTest, WithoutAWindowNothingHappens) {
  ASSERT_TRUE(ComIsUninitialised());
  Win32TaskbarProgress progress([] { return static_cast<HWND>(nullptr); });
  RunABatch(progress);
  EXPECT_TRUE(ComIsUninitialised());
}

TEST(TaskbarProgressTest, EachBatchLeavesComAsItFoundIt) {
  TestWindow window;
  ASSERT_NE(window.Get(), nullptr);
  Win32TaskbarProgress progress([&window] { return window.Get(); });
  for (int batch = 0; batch < 2; ++batch) {
    RunABatch(progress);
    EXPECT_TRUE(ComIsUninitialised()) << "batch " << batch;
  }
}

TEST(TaskbarProgressTest, ComOfTheOtherModelIsUsedAndNotEnded) {
  {
    const ComInitialisation own(COINIT_MULTITHREADED);
    ASSERT_EQ(own.Result(), S_OK);
    {
      TestWindow window;
      Win32TaskbarProgress progress([&window] { return window.Get(); });
      RunABatch(progress);
    }
    // Still initialised, by the test's own call.
    EXPECT_EQ(ComInitialisation(COINIT_MULTITHREADED).Result(), S_FALSE);
  }
  EXPECT_TRUE(ComIsUninitialised());
}

TEST(TaskbarProgressTest, WindowGoneBeforeTheEndIsHarmless) {
  TestWindow window;
  Win32TaskbarProgress progress([&window] { return window.Get(); });
  progress.SetProgress(1, 2);
  window.Destroy();
  progress.SetError();
  progress.Clear();
  EXPECT_TRUE(ComIsUninitialised());
}

}  // namespace
}  // namespace kavrin::win32
