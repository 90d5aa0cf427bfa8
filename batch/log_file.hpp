#pragma once

#include <string>
#include <vector>

#include "platform/clock.hpp"
#include "platform/file_system.hpp"

namespace kavrin {

// Logging is active when the switch is checked and the trimmed name is not empty.
bool LoggingActive(bool switchChecked, const std::string& logFileText);

// The user's short date, a blank and the long time; the date alone at midnight.
std::string DateTimeText(Clock& clock);

// The program's own writes to the log. Each rewrites the whole file with
// CR LF after every line; failures are silent. `logFileText` is the field's
// text, untrimmed. None of them checks LoggingActive: the callers do.
void AppendPreRunLine(FileStore& files, const std::string& logFileText);
void AppendStartBlock(FileStore& files, Clock& clock, const std::string& logFileText);
void AppendEndBlock(FileStore& files, Clock& clock, const std::string& logFileText);

// Appends lines to a log; a file that cannot be read is abandoned when
// `createWhenUnreadable` is false and taken as empty otherwise.
void AppendLogLines(FileStore& files, const std::string& logFileText, const std::vector<std::string>& lines,
                    bool createWhenUnreadable);

}  // namespace kavrin
