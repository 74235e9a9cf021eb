#include "Platform/SpecialFolders.h"

#include <QDir>
#include <QStandardPaths>

namespace Platform {
namespace {

// $XDG_DATA_HOME or ~/.local/share, $XDG_CONFIG_HOME or ~/.config.
QString DataHome() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}
QString ConfigHome() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}
QString Below(const QString& base, const QString& sub) {
  return base.isEmpty() ? QString() : base + QLatin1Char('/') + sub;
}

}  // namespace

QString SpecialFolderPath(TSpecialFolder folder) {
  switch (folder) {
    case TSpecialFolder::Desktop:
      return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    case TSpecialFolder::ProgramsMenu:
      return Below(DataHome(), QStringLiteral("applications"));
    case TSpecialFolder::ProgramFiles:
      return QDir::homePath().isEmpty() ? QString()
                                        : QDir::homePath() + QStringLiteral("/.local/opt");
    case TSpecialFolder::Startup:
      return Below(ConfigHome(), QStringLiteral("autostart"));
    case TSpecialFolder::Operator:
      return Below(DataHome(), QStringLiteral("backdropper"));
    case TSpecialFolder::MenuDirectories:
      return Below(DataHome(), QStringLiteral("desktop-directories"));
    case TSpecialFolder::MenuMerge:
      // Where xdg-desktop-menu puts its submenus; the menus of MATE, XFCE, KDE, Cinnamon and
      // LXDE merge it.
      return Below(ConfigHome(), QStringLiteral("menus/applications-merged"));
  }
  return {};
}

}  // namespace Platform
