#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/code_page.hpp"
#include "fakes/fake_code_page.hpp"

// How the targets over texts open: the fuzzer's bytes as a text, and the code
// page the rules read it in.
namespace kavrin::fuzz {

// The whole input as one text of the system code page.
inline std::string InputText(const std::uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// Code page 932 installed while it lives when the input's next choice says
// so; the single-byte one stays otherwise.
class CodePageChoice {
 public:
  explicit CodePageChoice(FuzzedDataProvider& input) {
    if (input.ConsumeBool()) installed_.emplace(codePage932_);
  }
  CodePageChoice(const CodePageChoice&) = delete;
  CodePageChoice& operator=(const CodePageChoice&) = delete;

 private:
  fakes::FakeCodePage932 codePage932_;
  std::optional<ScopedCodePage> installed_;
};

}  // namespace kavrin::fuzz
