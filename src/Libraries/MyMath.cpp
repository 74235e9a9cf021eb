#include "MyMath.h"

#include <cmath>

double Frac(double x) {
  return x - std::trunc(x);
}

double PositiveFrac(double x) {
  const double f = Frac(x);
  return f < 0 ? f + 1 : f;
}

double RoundHalfUp(double x) {
  return PositiveFrac(x) >= 0.5 ? std::ceil(x) : std::floor(x);
}

// 64-bit arithmetic so a counter at the ends of the int range wraps instead of overflowing.
void CycleNext(int& counter, int low, int high) {
  const int64_t next = int64_t{counter} + 1;
  counter = next > std::max(low, high) ? low : static_cast<int>(next);
}

void CyclePrev(int& counter, int low, int high) {
  const int64_t prev = int64_t{counter} - 1;
  counter = prev < low ? std::max(low, high) : static_cast<int>(prev);
}

int32_t SetBitField(int32_t value, int32_t field, int shift, int width) {
  if (shift < 0 || shift >= 32 || width <= 0) return value;
  // 64-bit arithmetic; bits shifted past bit 31 are dropped.
  const uint64_t size = uint64_t{1} << std::min(width, 32);
  // Compared as unsigned: a negative field does not fit either.
  const uint64_t bits = static_cast<uint32_t>(field) >= size ? 0 : static_cast<uint32_t>(field);
  const uint64_t mask = (size - 1) << shift;
  const uint64_t result = (static_cast<uint32_t>(value) & ~mask) | (bits << shift);
  return static_cast<int32_t>(static_cast<uint32_t>(result));
}
