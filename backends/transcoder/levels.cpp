#include "backends/transcoder/levels.hpp"

#include <algorithm>

namespace kavrin::transcoder {
namespace {

// A stream whose peak stays below one step of 16 bits is silence on a CD:
// raising it would only make its decoder's dither noise loud.
constexpr double kSilentBelowDb = -90.3;

// An AC3 or DTS decoder gives the peaks of its input back up to 0.8 dB
// higher: the normalised peak leaves it room. CDDA is written as it is.
double NormaliseTargetDb(ChannelMode mode) { return mode == ChannelMode::Stereo ? 0.0 : -0.3; }

}  // namespace

Gains ChooseGains(ChannelMode mode, bool normalize, double boostDb, std::optional<double> peakDb,
                  std::optional<double> lfeAsEncodedDb) {
  Gains gains;
  std::optional<double> loudest = peakDb;
  if (lfeAsEncodedDb && (!loudest || *lfeAsEncodedDb > *loudest)) loudest = lfeAsEncodedDb;
  if (normalize && loudest && *loudest > kSilentBelowDb) gains.Normalise = NormaliseTargetDb(mode) - *loudest;
  gains.All = gains.Normalise.value_or(0) + boostDb;
  // Decoders clip the LFE samples the DTS encoder has lifted above full
  // scale: the LFE alone comes down as far as that takes, and no further.
  if (mode == ChannelMode::SixMono && lfeAsEncodedDb) gains.LfeCut = std::max(0.0, *lfeAsEncodedDb + gains.All);
  return gains;
}

}  // namespace kavrin::transcoder
