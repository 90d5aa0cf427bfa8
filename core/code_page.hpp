#pragma once

namespace kavrin {

// Which bytes of the system's ANSI code page begin a two-byte character. The
// byte after a lead byte may be any value, "\" included, so the path rules
// step over such pairs.
class CodePage {
 public:
  virtual ~CodePage() = default;
  virtual bool IsLeadByte(unsigned char byte) const = 0;
};

// The code page the path rules read texts in: a single-byte one until a
// ScopedCodePage installs another.
const CodePage& InstalledCodePage();

// Installs a code page for the whole process while it lives, and puts the
// previous one back after. The code page must outlive the guard.
class ScopedCodePage {
 public:
  explicit ScopedCodePage(const CodePage& codePage);
  ~ScopedCodePage();
  ScopedCodePage(const ScopedCodePage&) = delete;
  ScopedCodePage& operator=(const ScopedCodePage&) = delete;

 private:
  const CodePage* previous_;
};

}  // namespace kavrin
