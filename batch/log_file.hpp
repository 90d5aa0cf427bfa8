#pragma once

#include <string>
#include <vector>

#include "platform/clock.hpp"
#include "platform/file_system.hpp"

namespace kavrin {

// The log's name from the field's text, for BeSweet and for the program's
// own writes alike: trimmed, and one enclosing pair of double quotes removed
// (the browse button quotes a name with a blank).
std::string LogFileName(const std::string& logFileText);

// Logging is active when the switch is checked and the name is not empty.
bool LoggingActive(bool switchChecked, const std::string& logFileText);

// The user's short date, a blank and the long time; the date alone at midnight.
std::string DateTimeText(Clock& clock);

// The program's own writes to the log. Each rewrites the whole file with
// CR LF after every line; failures are silent. `logFileText` is the field's
// text as it stands. None of them checks LoggingActive: the callers do.
void AppendPreRunLine(FileStore& files, Clock& clock, const std::string& logFileText);
void AppendStartBlock(FileStore& files, Clock& clock, const std::string& logFileText);
void AppendEndBlock(FileStore& files, Clock& clock, const std::string& logFileText);

// Appends lines to a log. A missing file is created holding just the lines
// when `createWhenMissing` is true; any other failed read abandons the write.
// A rewrite that another program's hold keeps from its place is tried again
// a few times; when it still fails, the lines are added at the end as they
// are, so that no line is lost.
void AppendLogLines(FileStore& files, Clock& clock, const std::string& logFileText,
                    const std::vector<std::string>& lines, bool createWhenMissing);

}  // namespace kavrin
