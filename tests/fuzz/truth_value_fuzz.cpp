// The truth-value parse over arbitrary stored texts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_check.hpp"
#include "fuzz/fuzz_input.hpp"
#include "settings/settings_file.hpp"

namespace {

bool IsDecimal(char c) { return c >= '0' && c <= '9'; }
bool IsHex(char c) { return IsDecimal(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// The digits of a whole number and their base: an optional sign, then
// decimal digits, or hexadecimal ones after "0x", "0X" or "$". Base 0 when
// the text is no number.
int Digits(const std::string& text, std::string& digits) {
  size_t at = text.empty() || (text[0] != '-' && text[0] != '+') ? 0 : 1;
  int base = 10;
  if (text.compare(at, 2, "0x") == 0 || text.compare(at, 2, "0X") == 0) {
    at += 2;
    base = 16;
  } else if (text.compare(at, 1, "$") == 0) {
    at += 1;
    base = 16;
  }
  digits = text.substr(at);
  if (digits.empty()) return 0;
  for (char c : digits) {
    if (!(base == 10 ? IsDecimal(c) : IsHex(c))) return 0;
  }
  return base;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = kavrin::fuzz::InputText(data, size);
  const bool whenFalse = kavrin::ParseTruthValue(text, false);
  const bool whenTrue = kavrin::ParseTruthValue(text, true);

  std::string digits;
  const int base = Digits(text, digits);
  if (base == 0) {
    // No number: the default, whichever it is.
    FUZZ_CHECK(!whenFalse && whenTrue);
    return 0;
  }
  // A number: the default plays no part, and only zero is false.
  FUZZ_CHECK(whenFalse == whenTrue);
  FUZZ_CHECK(whenFalse == (digits.find_first_not_of('0') != std::string::npos));
  // Where the C library can hold the value, it agrees.
  if (digits.size() <= 15) FUZZ_CHECK(whenFalse == (std::strtoll(digits.c_str(), nullptr, base) != 0));
  return 0;
}
