#pragma once

#include <optional>

#include "backends/transcoder/arguments.hpp"

namespace kavrin::transcoder {

// The gains of a conversion, in dB.
struct Gains {
  std::optional<double> Normalise;  // empty when not normalised, or silent
  double All = 0;                   // every channel: the normalising gain and the boost
  double LfeCut = 0;                // the LFE alone, this much lower than the others
};

// The gains for the peaks a first pass measured, in dBFS (empty: silence):
// of the stream as it will be written, and, for six mono files, of its LFE
// as the DTS encoder will lift it.
Gains ChooseGains(ChannelMode mode, bool normalize, double boostDb, std::optional<double> peakDb,
                  std::optional<double> lfeAsEncodedDb);

}  // namespace kavrin::transcoder
