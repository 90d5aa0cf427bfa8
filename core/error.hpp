#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace kavrin {

// The one error that ends a running handler. The window layer catches it where
// it dispatches handlers and shows its message in an error box; whatever the
// handler did before the throw stays done.
class KavrinError : public std::runtime_error {
 public:
  explicit KavrinError(const std::string& message) : std::runtime_error(message) {}
};

// Replaces the first "%s" of a message pattern (or appends nothing if absent).
std::string FormatMessageText(const std::string& pattern, const std::string& value);

// The system's message text for an error code (FormatMessageA), without the
// trailing line break.
class ErrorTexts {
 public:
  virtual ~ErrorTexts() = default;
  virtual std::string SystemErrorText(std::uint32_t code) = 0;
};

// The error report for a failed system call: the code, a line break and the
// system's text; code 0 has a fixed text of its own.
std::string SystemErrorMessage(std::uint32_t code, ErrorTexts& errors);

}  // namespace kavrin
