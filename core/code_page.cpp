#include "core/code_page.hpp"

namespace kavrin {

namespace {

class SingleByteCodePage final : public CodePage {
 public:
  bool IsLeadByte(unsigned char /*byte*/) const override { return false; }
};

// The ANSI code page belongs to the process, and the path rules are free
// functions called from every part of the program: one installed instance
// serves them all. Null means single-byte.
const CodePage* installed = nullptr;

}  // namespace

const CodePage& InstalledCodePage() {
  static const SingleByteCodePage singleByte;
  return installed != nullptr ? *installed : singleByte;
}

ScopedCodePage::ScopedCodePage(const CodePage& codePage) : previous_(installed) { installed = &codePage; }

ScopedCodePage::~ScopedCodePage() { installed = previous_; }

}  // namespace kavrin
