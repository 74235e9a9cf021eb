// How each desktop with background settings of its own is told about the wallpaper.
#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>

namespace Platform {

// A monitor's own file, for the desktops that keep a wallpaper per monitor.
struct THandedMonitor {
  QString Name;
  QRect Place;  // in the picture, which starts at the virtual desktop's origin or left of it
  QString File;
};

// The files a desktop is handed.
struct THanded {
  QString Whole;                   // the picture of every monitor
  QList<THandedMonitor> Monitors;  // with more than one monitor; each its own part
  QString Folder;                  // where the hand-off files and what they need are kept
  int MonitorCount = 1;
};

using TDesktopSet = std::function<bool(const THanded& handed, QString& why)>;

// The format of the file a desktop is handed.
enum class THandOff { Bitmap, Png };

struct TDesktop {
  QStringList Names;  // as XDG_CURRENT_DESKTOP spells them, any case
  TDesktopSet Set;
  THandOff Format;
  bool PerMonitor = false;  // handed a file per monitor besides the whole picture
};

const QList<TDesktop>& Desktops();

}  // namespace Platform
