// Power status from the kernel's power-supply class directory.
#pragma once

#include <QString>

#include "Platform/PowerStatus.h"

namespace Platform {

class TSysfsPowerStatus : public IPowerStatus {
 public:
  explicit TSysfsPowerStatus(QString root = QStringLiteral("/sys/class/power_supply"));
  // Mains when a "Mains" or "USB" supply of the system (not of a device) is online, or when the
  // system lists no supply of its own (desktops, virtual machines); otherwise on battery.
  bool IsOnMains() override;

 private:
  QString Root;
};

}  // namespace Platform
