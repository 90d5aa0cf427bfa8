#pragma once

#include <string>

#include "batch/job.hpp"

namespace kavrin {

// The job's argument text; the option fields are trimmed here.
std::string BeSweetArguments(const Job& job);

// The quoted program path, one blank, the arguments.
std::string BeSweetCommandLine(const std::string& beSweetPath, const std::string& arguments);

}  // namespace kavrin
