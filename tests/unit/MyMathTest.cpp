#include <gtest/gtest.h>

#include <climits>

#include "MyMath.h"

TEST(MyMath, FractionsAndHalfUpRounding) {
  EXPECT_DOUBLE_EQ(Frac(2.75), 0.75);
  EXPECT_DOUBLE_EQ(Frac(-2.75), -0.75);
  EXPECT_DOUBLE_EQ(PositiveFrac(-2.75), 0.25);
  EXPECT_DOUBLE_EQ(PositiveFrac(3.0), 0.0);
  EXPECT_DOUBLE_EQ(RoundHalfUp(2.5), 3.0);
  EXPECT_DOUBLE_EQ(RoundHalfUp(-2.5), -2.0);
  EXPECT_DOUBLE_EQ(RoundHalfUp(-2.6), -3.0);
  EXPECT_DOUBLE_EQ(RoundHalfUp(2.49), 2.0);
  EXPECT_DOUBLE_EQ(RoundHalfUp(-3.0), -3.0);
  EXPECT_DOUBLE_EQ(RoundHalfUp(0.5), 1.0);
}

TEST(MyMath, CyclesWrapAround) {
  int counter = 5;
  CycleNext(counter, 0, 5);
  EXPECT_EQ(counter, 0);
  CycleNext(counter, 0, 5);
  EXPECT_EQ(counter, 1);
  counter = 0;
  CyclePrev(counter, 0, 5);
  EXPECT_EQ(counter, 5);
  // High below low: the top is the larger of the two.
  counter = 3;
  CyclePrev(counter, 3, 1);
  EXPECT_EQ(counter, 3);
  counter = 3;
  CycleNext(counter, 3, 1);
  EXPECT_EQ(counter, 3);
  // The ends of the int range wrap instead of overflowing.
  counter = INT_MAX;
  CycleNext(counter, 0, INT_MAX);
  EXPECT_EQ(counter, 0);
  counter = INT_MIN;
  CyclePrev(counter, INT_MIN, 7);
  EXPECT_EQ(counter, 7);
}

TEST(MyMath, BitFields) {
  EXPECT_EQ(SetBitField(255, 5, 4, 3), 223);
  EXPECT_EQ(SetBitField(255, 9, 4, 3), 143);
  EXPECT_EQ(SetBitField(0, 7, 0, 3), 7);
  EXPECT_EQ(SetBitField(0, -1, 0, 3), 0);
  EXPECT_EQ(SetBitField(0, 1, 31, 1), INT_MIN);
  EXPECT_EQ(SetBitField(-1, 0, 0, 32), 0);
  EXPECT_EQ(SetBitField(0, -1, 0, 32), -1);
  EXPECT_EQ(SetBitField(0x0F, 0xFF, 28, 8), static_cast<int32_t>(0xF000000F));
}

TEST(MyMath, Max3) {
  EXPECT_EQ(Max3(1, 3, 2), 3);
  EXPECT_EQ(Max3(-1, -3, -2), -1);
  EXPECT_EQ(Max3(7, 7, 1), 7);
  EXPECT_DOUBLE_EQ(Max3(0.5, 0.25, 0.75), 0.75);
}
