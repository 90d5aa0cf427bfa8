#include "core/dpi_scale.hpp"

namespace kavrin {

int ScaleToDpi(int value, int dpi) {
  if (dpi <= 0) dpi = kDesignDpi;
  const long long product = static_cast<long long>(value) * dpi;
  const long long half = kDesignDpi / 2;
  const long long scaled = product >= 0 ? (product + half) / kDesignDpi : -((-product + half) / kDesignDpi);
  return static_cast<int>(scaled);
}

}  // namespace kavrin
