#include "platform/win32/win32_code_page.hpp"

#include <windows.h>

namespace kavrin::win32 {

bool Win32CodePage::IsLeadByte(unsigned char byte) const { return IsDBCSLeadByte(byte) != FALSE; }

}  // namespace kavrin::win32
