// The Windows MulDiv: Number * Numerator / Denominator without overflow,
// rounded half away from zero; -1 for a zero Denominator or a result
// outside int.
#pragma once

#include <climits>
#include <cstdint>

constexpr int MulDiv(int Number, int Numerator, int Denominator) {
  if (Denominator == 0) return -1;
  const int64_t product = int64_t(Number) * Numerator;
  const int64_t half = (Denominator < 0 ? -int64_t(Denominator) : int64_t(Denominator)) / 2;
  const bool negative = (product < 0) != (Denominator < 0);
  const int64_t magnitude = ((product < 0 ? -product : product) + half) /
                            (Denominator < 0 ? -int64_t(Denominator) : int64_t(Denominator));
  const int64_t result = negative ? -magnitude : magnitude;
  return result < INT_MIN || result > INT_MAX ? -1 : int(result);
}
