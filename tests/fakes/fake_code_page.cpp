#include "fakes/fake_code_page.hpp"

namespace kavrin::fakes {

bool FakeCodePage932::IsLeadByte(unsigned char byte) const {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

}  // namespace kavrin::fakes
