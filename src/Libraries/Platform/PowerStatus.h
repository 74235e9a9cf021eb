// Whether the machine runs on mains power; the timer's work waits while it does not.
#pragma once

#include <memory>

namespace Platform {

class IPowerStatus {
 public:
  virtual ~IPowerStatus() = default;
  virtual bool IsOnMains() = 0;
};

IPowerStatus& PowerStatus();
// Tests swap in their own source; null restores the real one.
void SetPowerStatus(std::unique_ptr<IPowerStatus> status);

}  // namespace Platform
