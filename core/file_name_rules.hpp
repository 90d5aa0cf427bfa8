#pragma once

#include <string>
#include <string_view>

namespace kavrin {

// The first word of a text by command-line rules: leading characters 1..32
// and pairs of adjacent double quotes are skipped; the word ends at the first
// character <= 32 outside double quotes; quote characters are dropped.
std::string FirstCommandLineWord(std::string_view text);

// Not empty and free of < > " [ ] |.
bool IsValidFileName(std::string_view name);

// The FileName reading of a file-name field: the text when it names an
// existing file, otherwise its first command-line word.
std::string FileNameReading(std::string_view text, bool textNamesExistingFile);

// The text a file-name field takes when its FileName is written with `value`:
// the value, quoted when it holds a blank and does not begin with a quote.
// Throws KavrinError("Invalid file name - %s") when the value is not empty and
// its reading is not a valid file name.
std::string FileNameFieldText(const std::string& value, bool valueNamesExistingFile);

}  // namespace kavrin
