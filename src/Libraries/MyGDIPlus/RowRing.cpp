#include "MyGDIPlus/RowRing.h"

#include <algorithm>

TRowRing::TRowRing(qsizetype bytesPerRow, int slots)
    : RowBytes(static_cast<size_t>(bytesPerRow)),
      SlotCount(std::max(slots, 1)),
      Bytes(RowBytes * static_cast<size_t>(SlotCount)) {}

bool TRowRing::WaitForRoom(int end) {
  std::unique_lock lock(Mutex);
  Changed.wait(lock, [&] { return Stopped || end <= Released + SlotCount; });
  return !Stopped;
}

void TRowRing::Publish(int rows) {
  const std::lock_guard lock(Mutex);
  Written = rows;
  Changed.notify_all();
}

void TRowRing::End() {
  const std::lock_guard lock(Mutex);
  Ended = true;
  Changed.notify_all();
}

const uchar* TRowRing::Row(int y) {
  std::unique_lock lock(Mutex);
  Changed.wait(lock, [&] { return y < Written || Ended; });
  return y < Written ? Slot(y) : nullptr;
}

void TRowRing::Release(int y) {
  const std::lock_guard lock(Mutex);
  if (y <= Released) return;
  Released = y;
  Changed.notify_all();
}

void TRowRing::Stop() {
  const std::lock_guard lock(Mutex);
  Stopped = true;
  Changed.notify_all();
}
