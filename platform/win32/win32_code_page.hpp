#pragma once

#include "core/code_page.hpp"

namespace kavrin::win32 {

// The system's ANSI code page (CP_ACP), as the A functions read paths.
class Win32CodePage final : public CodePage {
 public:
  bool IsLeadByte(unsigned char byte) const override;
};

}  // namespace kavrin::win32
