#pragma once
// The 6-byte floating-point form of the register files: byte 0 the exponent
// (bias 129, 0 means the value 0), bytes 1..5 a 39-bit mantissa with an
// implicit leading 1, least significant byte first, and the sign in the top
// bit of byte 5.

#include <array>
#include <cstdint>

namespace zova {

using Real48 = std::array<uint8_t, 6>;

// Exact: every 6-byte real is a double.
double DecodeReal48(const uint8_t* b);
// Rounds to the nearest 39-bit mantissa. Values too small for the exponent
// become 0; false (and all zero bytes) for NaN, infinity and values above
// about 1.7e38, which the form cannot hold.
bool EncodeReal48(double x, uint8_t* b);

}  // namespace zova
