#pragma once

#include "backends/common/ffmpeg.hpp"
#include "backends/transcoder/arguments.hpp"
#include "backends/transcoder/report.hpp"

namespace kavrin::transcoder {

// One conversion with ffmpeg, told in the report: true when every output is
// in place under its name; a failed one leaves none of its outputs.
bool RunTranscode(const Arguments& arguments, const backends::Ffmpeg& ffmpeg, Report& report);

}  // namespace kavrin::transcoder
