#pragma once

#include "core/code_page.hpp"

namespace kavrin::fakes {

// Code page 932's lead bytes: 0x81 to 0x9F and 0xE0 to 0xFC. Its trail bytes
// include "\" (0x5C), as in 0x95 0x5C.
class FakeCodePage932 final : public CodePage {
 public:
  bool IsLeadByte(unsigned char byte) const override;
};

}  // namespace kavrin::fakes
