#pragma once

namespace kavrin {

// The layout is drawn for this many pixels per inch.
constexpr int kDesignDpi = 96;

// A length of the 96-dpi layout at `dpi`, rounded to the nearest pixel with
// halves away from zero, as MulDiv rounds; a dpi of 0 or less counts as 96.
int ScaleToDpi(int value, int dpi);

}  // namespace kavrin
