// The system clock: the local date-time and the tick count since system start.
#pragma once

#include <QDateTime>
#include <cstdint>
#include <memory>

namespace Platform {

class IClock {
 public:
  virtual ~IClock() = default;
  // The current local date and time.
  virtual QDateTime Now() = 0;
  // Milliseconds since the system started (suspended time included), wrapping at 2^32.
  virtual uint32_t TickCount() = 0;
};

IClock& Clock();
// Tests drive time through their own clock; null restores the system clock.
void SetClock(std::unique_ptr<IClock> clock);

}  // namespace Platform
