#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

namespace kavrin::support {

// Polls `condition` every 20 ms until it holds or `bound` has passed; the
// failure says what was awaited.
inline ::testing::AssertionResult WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds bound,
                                          const std::string& what) {
  const auto deadline = std::chrono::steady_clock::now() + bound;
  for (;;) {
    if (condition()) return ::testing::AssertionSuccess();
    if (std::chrono::steady_clock::now() >= deadline) {
      return ::testing::AssertionFailure() << "gave up after " << bound.count() << " ms waiting for " << what;
    }
    Sleep(20);
  }
}

}  // namespace kavrin::support
