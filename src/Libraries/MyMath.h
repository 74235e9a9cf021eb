// Small numeric helpers shared by the picture and calendar code.
#pragma once

#include <algorithm>
#include <cstdint>

// The signed fractional part: x minus x truncated toward zero.
double Frac(double x);
// Frac, moved into [0, 1).
double PositiveFrac(double x);
// Halves go toward positive infinity, also for negative numbers (-2.5 gives -2).
double RoundHalfUp(double x);

// Wrap-around counters for stepping through lists; `top` is the larger of low and high.
void CycleNext(int& counter, int low, int high);
void CyclePrev(int& counter, int low, int high);

// `value` with `width` bits at `shift` replaced by `field`; a field too wide for them is zero.
int32_t SetBitField(int32_t value, int32_t field, int shift, int width);

template <typename T>
constexpr T Max3(T a, T b, T c) {
  return std::max(std::max(a, b), c);
}
