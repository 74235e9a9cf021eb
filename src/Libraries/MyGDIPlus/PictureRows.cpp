#include "MyGDIPlus/PictureRows.h"

void TPictureRows::Begin(const QImage& image, double scale) {
  const std::lock_guard lock(Mutex);
  Picture = image;
  PictureScale = scale;
  Begun = true;
  Changed.notify_all();
}

void TPictureRows::Publish(int rows) {
  const std::lock_guard lock(Mutex);
  Final.store(rows, std::memory_order_release);
  Changed.notify_all();
}

bool TPictureRows::HasBegun() {
  const std::lock_guard lock(Mutex);
  return Begun;
}

void TPictureRows::End() {
  const std::lock_guard lock(Mutex);
  Ended = true;
  Changed.notify_all();
}

QImage TPictureRows::TakeImage() {
  const std::lock_guard lock(Mutex);
  return std::move(Picture);
}

bool TPictureRows::WaitForBegin() {
  std::unique_lock lock(Mutex);
  Changed.wait(lock, [&] { return Begun || Ended; });
  return Begun;
}

bool TPictureRows::WaitForRows(int rows) {
  if (Final.load(std::memory_order_acquire) >= rows) return true;
  std::unique_lock lock(Mutex);
  Changed.wait(lock, [&] { return Final.load(std::memory_order_relaxed) >= rows || Ended; });
  return Final.load(std::memory_order_relaxed) >= rows;
}
