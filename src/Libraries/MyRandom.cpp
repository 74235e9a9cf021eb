#include "MyRandom.h"

#include <QtEndian>
#include <bit>
#include <cstdlib>
#include <cstring>

#include "Platform/Clock.h"
#include "Platform/RandomBytes.h"

TRandom::TRandom(QPoint pointer) : LastPointer(pointer) {
  Mix(static_cast<uint32_t>(pointer.x()), static_cast<uint32_t>(pointer.y()));
}

uint32_t TRandom::Mix(uint32_t a, uint32_t b) {
  State = std::rotr(qbswap(State + a + b) + Platform::Clock().TickCount(), 5);
  return State;
}

void TRandom::Stir(QPoint pointer) {
  const int64_t dx = static_cast<int64_t>(pointer.x()) - LastPointer.x();
  const int64_t dy = static_cast<int64_t>(pointer.y()) - LastPointer.y();
  if (std::llabs(dx) < 3 && std::llabs(dy) < 3) return;
  LastPointer = pointer;
  Mix(static_cast<uint32_t>(pointer.x()), static_cast<uint32_t>(pointer.y()));
}

int32_t TRandom::Next() {
  uint32_t r = Mix(0, 0);
  std::byte bytes[sizeof r];
  std::memcpy(bytes, &r, sizeof r);
  // On refusal the bytes stay as mixed.
  Platform::RandomBytes().Fill(bytes);
  std::memcpy(&r, bytes, sizeof r);
  return static_cast<int32_t>(r);
}
