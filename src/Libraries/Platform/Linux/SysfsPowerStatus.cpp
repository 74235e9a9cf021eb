#include "Platform/Linux/SysfsPowerStatus.h"

#include <QDir>
#include <QFile>

namespace Platform {
namespace {

QString ReadAttribute(const QString& supply, const char* name) {
  QFile file(supply + QLatin1Char('/') + QLatin1StringView(name));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromLatin1(file.read(64)).trimmed();
}

// A laptop charging through USB-C often lists its charger only as a "USB" supply; some drivers
// still give the kind of USB port as the type ("USB_PD", "USB_C", ...).
bool IsExternalSupply(const QString& type) {
  return type == QLatin1StringView("Mains") || type == QLatin1StringView("USB") ||
         type.startsWith(QLatin1StringView("USB_"));
}

}  // namespace

TSysfsPowerStatus::TSysfsPowerStatus(QString root) : Root(std::move(root)) {}

bool TSysfsPowerStatus::IsOnMains() {
  const QDir dir(Root);
  bool anySupply = false;
  for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    const QString supply = dir.filePath(name);
    // Batteries of a wireless mouse or keyboard say nothing about the machine's own power.
    if (ReadAttribute(supply, "scope") == QLatin1StringView("Device")) continue;
    anySupply = true;
    if (IsExternalSupply(ReadAttribute(supply, "type")) &&
        ReadAttribute(supply, "online") == QLatin1StringView("1"))
      return true;
  }
  return !anySupply;
}

namespace {
std::unique_ptr<IPowerStatus>& Current() {
  static std::unique_ptr<IPowerStatus> status = std::make_unique<TSysfsPowerStatus>();
  return status;
}
}  // namespace

IPowerStatus& PowerStatus() {
  return *Current();
}

void SetPowerStatus(std::unique_ptr<IPowerStatus> status) {
  Current() = status ? std::move(status) : std::make_unique<TSysfsPowerStatus>();
}

}  // namespace Platform
