// Rows of a picture handed from the thread that decodes them to the thread that draws them
// through a ring of a few rows, so the whole picture never exists at once: the decoder waits
// while the ring is full, the reader while the row it asks for is not there yet.
#pragma once

#include <QtGlobal>
#include <condition_variable>
#include <mutex>

#include "Platform/LargeMemory.h"

class TRowRing {
 public:
  // Rows of `bytesPerRow` bytes, `slots` of them at a time.
  TRowRing(qsizetype bytesPerRow, int slots);

  int Slots() const { return SlotCount; }

  // Decoder: waits until rows up to `end` may be written; false once the reader stopped.
  bool WaitForRoom(int end);
  // Where row `y` goes; its slot is free once WaitForRoom(y + 1) returned true.
  uchar* Slot(int y) { return Bytes.Data() + static_cast<size_t>(y % SlotCount) * RowBytes; }
  // Decoder: the top `rows` rows are written.
  void Publish(int rows);
  // Decoder: nothing more comes, whether the picture is complete or not.
  void End();

  // Reader: row `y`, once written; null when decoding ended without it. Rows released are
  // not asked for again.
  const uchar* Row(int y);
  // Reader: the rows above `y` are not read again, their slots may be written.
  void Release(int y);
  // Reader: gives up, so that the decoder stops waiting for room.
  void Stop();

 private:
  std::mutex Mutex;
  std::condition_variable Changed;
  size_t RowBytes;
  int SlotCount;
  Platform::TLargeBuffer Bytes;
  int Written = 0;
  int Released = 0;
  bool Ended = false;
  bool Stopped = false;
};
