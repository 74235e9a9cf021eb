// The wallpaper setter of each desktop. Desktops with their own background settings get the
// file through their tools; every other session gets it painted on the X11 root window.
#include "Platform/WallpaperSetter.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMap>
#include <functional>
#include <unistd.h>

#include "Platform/Linux/DesktopStores.h"
#include "Platform/Linux/StoredPng.h"
#include "Platform/Linux/X11RootWallpaper.h"
#include "Platform/ReleaseLater.h"

namespace Platform {
namespace {

// A picture style of "none" shows the background colour alone: the wallpaper would be set and
// never seen. Only that style is changed; any other is the user's choice. The picture is already
// screen-sized, so "stretched" shows it pixel for pixel, as on LXDE and LXQt. A style that cannot
// be read is left alone: setting the picture then reports what is wrong.
bool ShowPictureWhateverTheStyle(const QString& schema, QString& why) {
  const QString tool = QStringLiteral("gsettings"), key = QStringLiteral("picture-options");
  QString style, ignored;
  if (!RunTool(tool, {QStringLiteral("get"), schema, key}, ignored, &style) ||
      style.trimmed() != QLatin1String("'none'"))
    return true;
  return RunTool(tool, {QStringLiteral("set"), schema, key, QStringLiteral("stretched")}, why);
}

bool SetGnome(const QString& path, QString& why) {
  const QString schema = QStringLiteral("org.gnome.desktop.background");
  if (!ShowPictureWhateverTheStyle(schema, why)) return false;
  if (!RunTool(QStringLiteral("gsettings"),
               {QStringLiteral("set"), schema, QStringLiteral("picture-uri"), FileUri(path)}, why))
    return false;
  // The dark-style key exists only since GNOME 42; older versions do without it.
  QString ignored;
  RunTool(QStringLiteral("gsettings"),
          {QStringLiteral("set"), schema, QStringLiteral("picture-uri-dark"), FileUri(path)},
          ignored);
  return GsettingsHolds(QStringLiteral("GNOME"), schema, QStringLiteral("picture-uri"),
                        FileUri(path), why);
}

// Cinnamon and MATE: one key names the picture.
bool SetGsettingsKey(const QString& desktop, const QString& schema, const QString& key,
                     const QString& value, QString& why) {
  return ShowPictureWhateverTheStyle(schema, why) &&
         RunTool(QStringLiteral("gsettings"), {QStringLiteral("set"), schema, key, value}, why) &&
         GsettingsHolds(desktop, schema, key, value, why);
}

bool SetCinnamon(const QString& path, QString& why) {
  return SetGsettingsKey(QStringLiteral("Cinnamon"),
                         QStringLiteral("org.cinnamon.desktop.background"),
                         QStringLiteral("picture-uri"), FileUri(path), why);
}

bool SetMate(const QString& path, QString& why) {
  return SetGsettingsKey(QStringLiteral("MATE"), QStringLiteral("org.mate.background"),
                         QStringLiteral("picture-filename"), path, why);
}

bool SetXfce(const QString& path, QString& why) {
  const QString tool = QStringLiteral("xfconf-query");
  const QString channel = QStringLiteral("xfce4-desktop");
  const auto set = [&](const QString& property, const QString& value) {
    return RunTool(tool,
                   {QStringLiteral("-c"), channel, QStringLiteral("-p"), property,
                    QStringLiteral("-s"), value},
                   why);
  };
  QMap<QString, QString> values;
  if (!XfconfValues(values, why)) return false;
  const QString image = QStringLiteral("/last-image");
  QStringList images;
  for (auto it = values.cbegin(); it != values.cend(); ++it)
    if (it.key().endsWith(image)) images << it.key();
  if (images.isEmpty()) {  // xfdesktop has not stored a wallpaper yet: start with the first one
    images << QStringLiteral("/backdrop/screen0/monitor0/workspace0/last-image");
    if (!RunTool(
            tool,
            {QStringLiteral("-c"), channel, QStringLiteral("-p"), images[0], QStringLiteral("-n"),
             QStringLiteral("-t"), QStringLiteral("string"), QStringLiteral("-s"), path},
            why))
      return false;
  } else {
    for (const QString& property : images) {
      // Style 0 shows no picture at all; 3 stretches it (see ShowPictureWhateverTheStyle).
      const QString style = property.chopped(image.size()) + QStringLiteral("/image-style");
      if (values.value(style) == QLatin1String("0") && !set(style, QStringLiteral("3")))
        return false;
      if (!set(property, path)) return false;
    }
  }
  return XfconfHolds(images, path, why);
}

bool SetPlasma(const QString& path, QString& why) {
  // The URI is fully percent-encoded, so it cannot break out of the script's string. Each
  // desktop prints what it holds afterwards: a locked configuration keeps the old picture.
  const QString script =
      QStringLiteral(
          "var all = desktops();\n"
          "for (var i = 0; i < all.length; i++) {\n"
          "  var d = all[i];\n"
          "  d.wallpaperPlugin = \"org.kde.image\";\n"
          "  d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];\n"
          "  d.writeConfig(\"Image\", \"%1\");\n"
          "  print(d.readConfig(\"Image\"));\n"
          "}\n")
          .arg(FileUri(path));
  QString reply;
  return RunTool(QStringLiteral("dbus-send"),
                 {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                  QStringLiteral("--dest=org.kde.plasmashell"), QStringLiteral("/PlasmaShell"),
                  QStringLiteral("org.kde.PlasmaShell.evaluateScript"),
                  QStringLiteral("string:") + script},
                 why, &reply) &&
         PlasmaReplyHolds(reply, FileUri(path), why);
}

// The mode goes with the file: a profile left at "color" or "none" would otherwise keep the
// desktop blank. The picture is already screen-sized, so "stretch" shows it pixel for pixel and
// still fills the screen should its size change before the next composition.
bool SetPcmanfm(bool qt, const QString& path, QString& why) {
  return RunTool(
             qt ? QStringLiteral("pcmanfm-qt") : QStringLiteral("pcmanfm"),
             {QStringLiteral("--set-wallpaper"), path, QStringLiteral("--wallpaper-mode=stretch")},
             why) &&
         PcmanfmHolds(qt, path, why);
}

bool SetSway(const QString& path, QString& why) {
  // swaymsg joins its arguments into one sway command, where a quoted path may hold spaces.
  QString quoted = path;
  quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
      .replace(QLatin1Char('"'), QStringLiteral("\\\""));
  return RunTool(QStringLiteral("swaymsg"),
                 {QStringLiteral("output"), QStringLiteral("*"), QStringLiteral("bg"),
                  QLatin1Char('"') + quoted + QLatin1Char('"'), QStringLiteral("fill")},
                 why);
}

using TDesktopSet = std::function<bool(const QString& path, QString& why)>;

// The format of the file a desktop is handed.
enum class THandOff { Bitmap, Png };

struct TDesktop {
  QStringList Names;  // as XDG_CURRENT_DESKTOP spells them, any case
  TDesktopSet Set;
  THandOff Format;
};

// GNOME, Cinnamon, MATE, XFCE and LXDE read the wallpaper through gdk-pixbuf, whose BMP loader
// is one of the "other" loaders that gdk-pixbuf no longer builds by default; swaybg reads it
// through gdk-pixbuf, or without it through cairo, which reads only PNG. These desktops get a
// PNG. Plasma and LXQt read it with Qt, which always has BMP, and get the bitmap itself.
const QList<TDesktop>& Desktops() {
  static const QList<TDesktop> desktops = {
      {{QStringLiteral("GNOME"), QStringLiteral("Unity"), QStringLiteral("Budgie")},
       SetGnome,
       THandOff::Png},
      {{QStringLiteral("X-Cinnamon"), QStringLiteral("Cinnamon")}, SetCinnamon, THandOff::Png},
      {{QStringLiteral("MATE")}, SetMate, THandOff::Png},
      {{QStringLiteral("XFCE")}, SetXfce, THandOff::Png},
      {{QStringLiteral("KDE")}, SetPlasma, THandOff::Bitmap},
      {{QStringLiteral("LXDE")},
       [](const QString& path, QString& why) { return SetPcmanfm(false, path, why); },
       THandOff::Png},
      {{QStringLiteral("LXQt")},
       [](const QString& path, QString& why) { return SetPcmanfm(true, path, why); },
       THandOff::Bitmap},
      {{QStringLiteral("sway")}, SetSway, THandOff::Png},
  };
  return desktops;
}

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

// These desktops reload a wallpaper only when its name changes. Each composition is handed over
// under one of two names in turn, and the names shown before are removed once the desktop has
// the new one.
class TDesktopToolSetter : public IWallpaperSetter {
 public:
  TDesktopToolSetter(TDesktopSet set, THandOff format)
      : DesktopSet(std::move(set)), Format(format) {}

  bool Set(const QString& path, const QImage& picture, const QColor&, QString& why) override {
    const QFileInfo file(path);
    const QString stem = file.path() + QLatin1Char('/') + file.completeBaseName();
    const QString suffix = Format == THandOff::Png   ? QStringLiteral(".png")
                           : file.suffix().isEmpty() ? QString()
                                                     : QLatin1Char('.') + file.suffix();
    const QString first = stem + QStringLiteral("-1") + suffix;
    const QString second = stem + QStringLiteral("-2") + suffix;
    const bool useSecond = QFileInfo::exists(first) && !QFileInfo::exists(second);
    const QString fresh = useSecond ? second : first;

    if (!WriteHandOff(path, picture, Format, fresh, why)) {
      QFile::remove(fresh);
      return false;
    }
    if (!DesktopSet(fresh, why)) {
      QFile::remove(fresh);
      return false;
    }
    // Also the names of the other format, left when the session's desktop was another one.
    for (const QString& kind : {QStringLiteral(".png"), QLatin1Char('.') + file.suffix()})
      for (const QString& number : {QStringLiteral("-1"), QStringLiteral("-2")})
        if (const QString stale = stem + number + kind; stale != fresh) RemoveFreeingLater(stale);
    return true;
  }

 private:
  TDesktopSet DesktopSet;
  THandOff Format;
};

class TRootWindowSetter : public IWallpaperSetter {
 public:
  bool Set(const QString& path, const QImage& picture, const QColor& fill,
           QString& why) override {
    return picture.isNull() ? SetRootWindowPicture(path, fill, why)
                            : SetRootWindowImage(picture, fill, why);
  }
};

}  // namespace

std::unique_ptr<IWallpaperSetter> MakeWallpaperSetter(const QString& currentDesktop) {
  for (const QString& name : currentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts))
    for (const TDesktop& desktop : Desktops())
      if (desktop.Names.contains(name.trimmed(), Qt::CaseInsensitive))
        return std::make_unique<TDesktopToolSetter>(desktop.Set, desktop.Format);
  return std::make_unique<TRootWindowSetter>();
}

std::unique_ptr<IWallpaperSetter> SessionWallpaperSetter() {
  return MakeWallpaperSetter(QString::fromLocal8Bit(qgetenv("XDG_CURRENT_DESKTOP")));
}

}  // namespace Platform
