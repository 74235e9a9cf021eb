#include "Platform/Clock.h"

#include <ctime>

namespace Platform {
namespace {

class TSystemClock : public IClock {
 public:
  QDateTime Now() override { return QDateTime::currentDateTime(); }
  uint32_t TickCount() override {
    timespec ts{};
    // The boot-time clock keeps counting through suspend, as a tick count since start must.
    if (clock_gettime(CLOCK_BOOTTIME, &ts) != 0) clock_gettime(CLOCK_MONOTONIC, &ts);
    const uint64_t ms =
        static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
  }
};

std::unique_ptr<IClock>& Current() {
  static std::unique_ptr<IClock> clock = std::make_unique<TSystemClock>();
  return clock;
}

}  // namespace

IClock& Clock() {
  return *Current();
}

void SetClock(std::unique_ptr<IClock> clock) {
  Current() = clock ? std::move(clock) : std::make_unique<TSystemClock>();
}

}  // namespace Platform
