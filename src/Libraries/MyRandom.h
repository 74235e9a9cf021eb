// The program's random source: operating-system random bytes, with a mix of pointer movements and
// the tick count as the value used when the system source is unavailable.
#pragma once

#include <QPoint>
#include <cstdint>

class TRandom {
 public:
  // `pointer` is the mouse pointer's position at creation.
  explicit TRandom(QPoint pointer);

  // Mixes in the pointer position when it moved by 3 pixels or more since the last stir.
  void Stir(QPoint pointer);
  int32_t Next();

 private:
  uint32_t Mix(uint32_t a, uint32_t b);

  QPoint LastPointer;
  // One TRandom serves the whole process, so this is the process's mixing state.
  uint32_t State = 0;
};
