// A clock the test sets by hand; installed for the lifetime of the object.
#pragma once

#include <QDateTime>

#include "Platform/Clock.h"

class TTestClock {
 public:
  struct TState {
    QDateTime Now;
    uint32_t Tick = 0;
  };

  explicit TTestClock(QDateTime now = QDateTime(QDate(2024, 5, 17), QTime(9, 30))) {
    State->Now = now;
    Platform::SetClock(std::make_unique<TFixed>(State));
  }
  ~TTestClock() { Platform::SetClock(nullptr); }

  void Set(const QDateTime& now) { State->Now = now; }
  void SetTick(uint32_t tick) { State->Tick = tick; }

 private:
  class TFixed : public Platform::IClock {
   public:
    explicit TFixed(std::shared_ptr<TState> state) : State(std::move(state)) {}
    QDateTime Now() override { return State->Now; }
    uint32_t TickCount() override { return State->Tick; }

   private:
    std::shared_ptr<TState> State;
  };

  std::shared_ptr<TState> State = std::make_shared<TState>();
};
