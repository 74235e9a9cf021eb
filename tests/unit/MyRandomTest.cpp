#include <QSet>
#include <array>
#include <cstring>
#include <gtest/gtest.h>

#include "MyRandom.h"
#include "Platform/RandomBytes.h"
#include "TestClock.h"

namespace {

// A source that refuses, or one that hands out fixed bytes and keeps the seed it was given.
class TFakeSource : public Platform::IRandomBytes {
 public:
  TFakeSource(bool refuse, uint32_t value, uint32_t* seen)
      : Refuse(refuse), Value(value), Seen(seen) {}
  bool Fill(std::span<std::byte> buffer) override {
    if (Refuse) return false;
    if (Seen) std::memcpy(Seen, buffer.data(), sizeof *Seen);
    std::memcpy(buffer.data(), &Value, sizeof Value);
    return true;
  }

 private:
  bool Refuse;
  uint32_t Value;
  uint32_t* Seen;
};

struct TSourceScope {
  TSourceScope(bool refuse, uint32_t value = 0, uint32_t* seen = nullptr) {
    Platform::SetRandomBytes(std::make_unique<TFakeSource>(refuse, value, seen));
  }
  ~TSourceScope() { Platform::SetRandomBytes(nullptr); }
};

// Counts draws per bucket and checks each bucket within 6% of its share (over six standard
// deviations for these sizes, so a fair source practically never fails).
template <size_t N, class F>
void ExpectUniform(int draws, F bucketOf) {
  std::array<int, N> counts{};
  for (int i = 0; i < draws; ++i) ++counts[bucketOf()];
  const double expected = static_cast<double>(draws) / N;
  for (size_t b = 0; b < N; ++b)
    EXPECT_NEAR(counts[b], expected, expected * 0.06) << "bucket " << b;
}

}  // namespace

TEST(MyRandom, NextIsUniformOverHighAndLowBits) {
  TRandom random(QPoint(10, 20));
  ExpectUniform<8>(80000, [&] { return static_cast<uint32_t>(random.Next()) >> 29; });
  // The way a picture is drawn: the remainder's absolute value.
  ExpectUniform<10>(100000, [&] { return std::abs(random.Next() % 10); });
}

TEST(MyRandom, ProviderBytesReplaceTheMixedValueWhichIsTheirSeed) {
  TTestClock clock;
  clock.SetTick(123456);
  uint32_t mixed = 0;
  {
    TSourceScope refusing(true);
    TRandom random(QPoint(5, 7));
    mixed = static_cast<uint32_t>(random.Next());
  }
  uint32_t seed = 0;
  TSourceScope fixed(false, 0xCAFEBABE, &seed);
  TRandom random(QPoint(5, 7));
  EXPECT_EQ(static_cast<uint32_t>(random.Next()), 0xCAFEBABEu);
  EXPECT_EQ(seed, mixed);
}

TEST(MyRandom, WithoutProviderTheMixStillVaries) {
  TSourceScope refusing(true);
  TRandom random(QPoint(0, 0));
  QSet<int32_t> seen;
  for (int i = 0; i < 1000; ++i) seen.insert(random.Next());
  EXPECT_GE(seen.size(), 990);
}

TEST(MyRandom, StirIgnoresMovesUnderThreePixels) {
  TTestClock clock;
  clock.SetTick(99);
  TSourceScope refusing(true);
  TRandom still(QPoint(100, 100));
  TRandom jiggled(QPoint(100, 100));
  TRandom moved(QPoint(100, 100));
  jiggled.Stir(QPoint(102, 98));
  jiggled.Stir(QPoint(98, 102));
  moved.Stir(QPoint(103, 100));
  const int32_t reference = still.Next();
  EXPECT_EQ(jiggled.Next(), reference);
  EXPECT_NE(moved.Next(), reference);

  // The distance is measured from the last position that was mixed in.
  TRandom a(QPoint(0, 0));
  TRandom b(QPoint(0, 0));
  a.Stir(QPoint(0, 5));
  a.Stir(QPoint(2, 7));
  b.Stir(QPoint(0, 5));
  EXPECT_EQ(a.Next(), b.Next());
  // Extreme coordinates do not overflow the distance.
  TRandom edge(QPoint(INT32_MIN, INT32_MAX));
  edge.Stir(QPoint(INT32_MAX, INT32_MIN));
  EXPECT_NE(edge.Next(), edge.Next());
}
