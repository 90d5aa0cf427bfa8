#pragma once

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

}  // namespace kavrin
