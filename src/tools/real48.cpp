#include "tools/real48.h"

#include <cmath>
#include <cstring>

namespace zova {

namespace {
constexpr int kBias = 129;
constexpr double kMantissaScale = 549755813888.0;  // 2^39
}  // namespace

double DecodeReal48(const uint8_t* b) {
  if (b[0] == 0) return 0.0;
  uint64_t m = 0;
  for (int i = 4; i >= 1; --i) m = (m << 8) | b[i];
  m |= static_cast<uint64_t>(b[5] & 0x7F) << 32;
  double v = std::ldexp(1.0 + static_cast<double>(m) / kMantissaScale, b[0] - kBias);
  return (b[5] & 0x80) ? -v : v;
}

bool EncodeReal48(double x, uint8_t* b) {
  std::memset(b, 0, 6);
  if (!std::isfinite(x)) return false;
  if (x == 0) return true;
  int k = 0;
  double f = std::frexp(std::fabs(x), &k);  // 0.5 <= f < 1
  int e = k - 1 + kBias;
  double frac = std::nearbyint((2.0 * f - 1.0) * kMantissaScale);
  auto m = static_cast<uint64_t>(frac);
  if (m >= (uint64_t{1} << 39)) {  // rounding carried into the exponent
    m = 0;
    ++e;
  }
  if (e <= 0) return true;  // below the smallest exponent: 0
  if (e > 255) return false;
  b[0] = static_cast<uint8_t>(e);
  for (int i = 1; i <= 4; ++i) {
    b[i] = static_cast<uint8_t>(m & 0xFF);
    m >>= 8;
  }
  b[5] = static_cast<uint8_t>(m & 0x7F);
  if (x < 0) b[5] |= 0x80;
  return true;
}

}  // namespace zova
