// Rows handed from a writing thread to a reading one through a ring of a few slots.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "MyGDIPlus/RowRing.h"

namespace {

// Each row holds its own number; the reader checks every one arrives whole and in order.
void HandOver(int rows, int slots, int chunk) {
  TRowRing ring(sizeof(int), slots);
  std::thread writer([&] {
    for (int y = 0; y < rows; y += chunk) {
      const int end = std::min(y + chunk, rows);
      if (!ring.WaitForRoom(end)) return;
      for (int i = y; i < end; ++i) std::memcpy(ring.Slot(i), &i, sizeof(int));
      ring.Publish(end);
    }
    ring.End();
  });
  int wrong = 0;
  for (int y = 0; y < rows; ++y) {
    const uchar* row = ring.Row(y);
    int value = -1;
    if (row) std::memcpy(&value, row, sizeof(int));
    wrong += value != y;
    ring.Release(y + 1);
  }
  EXPECT_EQ(ring.Row(rows), nullptr);  // ended: nothing after the last row
  writer.join();
  EXPECT_EQ(wrong, 0);
}

}  // namespace

// Both sides sleep and wake thousands of times; a wake-up lost on either side hangs the test.
TEST(RowRing, EveryRowArrivesInOrderHoweverSmallTheRing) {
  HandOver(50000, 1, 1);
  HandOver(50000, 2, 1);
  HandOver(50000, 17, 16);
}

TEST(RowRing, AReaderThatStopsReleasesAWaitingWriterAndAnEndedRingHasNoMoreRows) {
  TRowRing ring(4, 2);
  bool gotRoom = true;
  std::thread writer([&] {
    ring.WaitForRoom(2);
    ring.Publish(2);
    gotRoom = ring.WaitForRoom(3);  // the ring is full until the reader gives up
  });
  EXPECT_NE(ring.Row(1), nullptr);
  ring.Stop();
  writer.join();
  EXPECT_FALSE(gotRoom);

  TRowRing empty(4, 2);
  empty.End();
  EXPECT_EQ(empty.Row(0), nullptr);
}
