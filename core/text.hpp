#pragma once

#include <string>
#include <string_view>

// Text helpers shared by every part of the core. Texts are bytes of the
// system code page; nothing here knows about letters beyond ASCII. The path
// rules read texts in the installed code page (core/code_page.hpp), so a
// "\" that is the second byte of a two-byte character is no delimiter.
namespace kavrin {

// Leading and trailing characters with codes 0 to 32 removed.
std::string Trim(std::string_view text);

// A field's text as a name: trimmed, and one enclosing pair of double
// quotes removed, as a browse button or "Copy as path" puts them.
std::string UnquotedFieldText(std::string_view text);

// Where the first or the last character of `text` that is one of the
// single-byte characters `chars` begins; npos when there is none. The second
// byte of a two-byte character is never found.
size_t FindFirstCharOf(std::string_view text, std::string_view chars);
size_t FindLastCharOf(std::string_view text, std::string_view chars);

// A backslash appended unless the text already ends in one; "" becomes "\".
std::string WithTrailingDelimiter(std::string_view folder);

// One trailing backslash removed, if the text ends in one.
std::string WithoutTrailingDelimiter(std::string_view folder);

// Folder part of a path, without its trailing delimiter, except that a root
// ("C:\", "\") keeps it. "C:\Tools\kavrin.exe" gives "C:\Tools".
std::string ExtractFileDir(std::string_view path);

// Name part of a path: what follows the last "\", "/" or ":".
std::string ExtractFileName(std::string_view path);

// Only a to z become A to Z; every other byte stays.
std::string UpperAscii(std::string_view text);

// Decimal, left-padded with "0" to at least `width` characters.
std::string ZeroPad(long long number, int width);

}  // namespace kavrin
