#include "Platform/RegistryStore.h"

#include <QDir>

namespace Platform {

QString RegistryHivePath(bool machine) {
  QString config = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
  if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
  return config + QStringLiteral("/backdropper/registry/") +
         (machine ? QStringLiteral("HKEY_LOCAL_MACHINE.ini")
                  : QStringLiteral("HKEY_CURRENT_USER.ini"));
}

}  // namespace Platform
