// The wallpaper setter of each desktop. Desktops with their own background settings get the
// file through their tools; every other session gets it painted on the X11 root window.
#include "Platform/WallpaperSetter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>
#include <algorithm>
#include <functional>
#include <unistd.h>

#include "Platform/Linux/DesktopSetters.h"
#include "Platform/Linux/DesktopStores.h"
#include "Platform/Linux/StoredPng.h"
#include "Platform/Linux/X11RootWallpaper.h"
#include "Platform/ReleaseLater.h"

namespace Platform {
namespace {

// The hand-off file `path` in the desktop's format: a hard link to the wallpaper file (a copy
// where links are not possible), or a PNG of its pixels.
bool WriteHandOff(const QString& wallpaper, const QImage& picture, THandOff format,
                  const QString& path, QString& why) {
  RemoveFreeingLater(path);
  if (format == THandOff::Png) {
    if (!picture.isNull()) return WriteStoredPng(picture, path, why);
    QImageReader reader(wallpaper);
    const QImage pixels = reader.read();
    if (pixels.isNull()) {
      why = reader.errorString();
      return false;
    }
    return WriteStoredPng(pixels, path, why);
  }
  if (::link(QFile::encodeName(wallpaper).constData(), QFile::encodeName(path).constData()) != 0 &&
      !QFile::copy(wallpaper, path)) {
    why = QStringLiteral("Cannot create ") + path;
    return false;
  }
  return true;
}

// A monitor's name as part of a file name.
QString FileNamePart(QString name) {
  static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9_.-]"));
  return name.replace(unsafe, QStringLiteral("_"));
}

// These desktops reload a wallpaper only when its name changes. Each composition is handed over
// under one of two names in turn, and the names shown before are removed once the desktop has
// the new one. The desktops that keep a picture per monitor also get one file per monitor,
// named after it; the files of monitors that are gone go too.
class TDesktopToolSetter : public IWallpaperSetter {
 public:
  explicit TDesktopToolSetter(const TDesktop& desktop) : Desktop(desktop) {}

  bool Set(const QString& path, const QImage& picture, const TWallpaperLayout& layout,
           QString& why) override {
    const QFileInfo file(path);
    const QString stem = file.path() + QLatin1Char('/') + file.completeBaseName();
    const QString suffix = Desktop.Format == THandOff::Png ? QStringLiteral(".png")
                           : file.suffix().isEmpty()       ? QString()
                                                           : QLatin1Char('.') + file.suffix();
    const QString first = stem + QStringLiteral("-1") + suffix;
    const QString second = stem + QStringLiteral("-2") + suffix;
    const bool useSecond = QFileInfo::exists(first) && !QFileInfo::exists(second);
    const QString number = useSecond ? QStringLiteral("-2") : QStringLiteral("-1");
    THanded handed{stem + number + suffix,
                   {},
                   file.path(),
                   static_cast<int>(std::max<qsizetype>(1, layout.Monitors.size()))};
    QStringList written{handed.Whole};
    // Nothing the desktop was not told about stays behind.
    const auto fail = [&] {
      for (const QString& name : written) QFile::remove(name);
      return false;
    };

    if (!WriteHandOff(path, picture, Desktop.Format, handed.Whole, why)) return fail();
    if (Desktop.PerMonitor && layout.Monitors.size() > 1) {
      const QImage pixels = picture.isNull() ? QImageReader(path).read() : picture;
      for (const TMonitorPart& monitor : layout.Monitors) {
        const QString own =
            stem + QLatin1Char('-') + FileNamePart(monitor.Name) + number + QStringLiteral(".png");
        RemoveFreeingLater(own);
        written << own;
        if (!WriteStoredPng(pixels.copy(monitor.Place), own, why)) return fail();
        handed.Monitors << THandedMonitor{monitor.Name, monitor.Place, own};
      }
    }
    if (!Desktop.Set(handed, why)) return fail();

    // Also the names of the other format, left when the session's desktop was another one.
    for (const QString& kind : {QStringLiteral(".png"), QLatin1Char('.') + file.suffix()})
      for (const QString& n : {QStringLiteral("-1"), QStringLiteral("-2")})
        if (const QString stale = stem + n + kind; !written.contains(stale))
          RemoveFreeingLater(stale);
    const QString base = file.completeBaseName() + QStringLiteral("-*-");
    for (const QString& name :
         QDir(file.path())
             .entryList({base + QStringLiteral("1.png"), base + QStringLiteral("2.png")},
                        QDir::Files))
      if (const QString stale = file.path() + QLatin1Char('/') + name; !written.contains(stale))
        RemoveFreeingLater(stale);
    return true;
  }

 private:
  TDesktop Desktop;
};

class TRootWindowSetter : public IWallpaperSetter {
 public:
  bool Set(const QString& path, const QImage& picture, const TWallpaperLayout& layout,
           QString& why) override {
    return picture.isNull() ? SetRootWindowPicture(path, layout.Fill, why)
                            : SetRootWindowImage(picture, layout.Fill, why);
  }
};

}  // namespace

std::unique_ptr<IWallpaperSetter> MakeWallpaperSetter(const QString& currentDesktop) {
  for (const QString& name : currentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts))
    for (const TDesktop& desktop : Desktops())
      if (desktop.Names.contains(name.trimmed(), Qt::CaseInsensitive))
        return std::make_unique<TDesktopToolSetter>(desktop);
  return std::make_unique<TRootWindowSetter>();
}

std::unique_ptr<IWallpaperSetter> SessionWallpaperSetter() {
  return MakeWallpaperSetter(QString::fromLocal8Bit(qgetenv("XDG_CURRENT_DESKTOP")));
}

}  // namespace Platform
