#include "Platform/Linux/DesktopSetters.h"

#include <QFile>
#include <QMap>

#include "Platform/Linux/DesktopStores.h"

namespace Platform {
namespace {

// The picture style, which only a few values need changed. "none" shows the background colour
// alone: the wallpaper would be set and never seen, so it becomes "stretched" (the picture is
// already monitor-sized, so that shows it pixel for pixel). With more than one monitor the
// picture holds every monitor's wallpaper at its place and must span them; the style the user
// had is kept beside the hand-off files and comes back with one monitor. A style that cannot be
// read is left alone: setting the picture then reports what is wrong.
bool ChoosePictureStyle(const QString& schema, const THanded& handed, QString& why) {
  const QString tool = QStringLiteral("gsettings"), key = QStringLiteral("picture-options");
  QString printed, ignored;
  if (!RunTool(tool, {QStringLiteral("get"), schema, key}, ignored, &printed)) return true;
  const QString style = printed.trimmed().remove(QLatin1Char('\''));
  const auto set = [&](const QString& value) {
    return RunTool(tool, {QStringLiteral("set"), schema, key, value}, why);
  };
  QFile kept(handed.Folder + QStringLiteral("/picture-options-") + schema);
  if (handed.MonitorCount > 1) {
    if (style == QLatin1String("spanned")) return true;
    if (style != QLatin1String("none") && kept.open(QIODevice::WriteOnly | QIODevice::Truncate))
      kept.write(style.toUtf8());
    return set(QStringLiteral("spanned"));
  }
  if (style == QLatin1String("spanned") && kept.open(QIODevice::ReadOnly)) {
    const QString before = QString::fromUtf8(kept.readAll()).trimmed();
    kept.remove();
    if (!before.isEmpty()) return set(before);
  }
  return style != QLatin1String("none") || set(QStringLiteral("stretched"));
}

bool SetGnome(const THanded& handed, QString& why) {
  const QString schema = QStringLiteral("org.gnome.desktop.background");
  const QString uri = FileUri(handed.Whole);
  if (!ChoosePictureStyle(schema, handed, why)) return false;
  if (!RunTool(QStringLiteral("gsettings"),
               {QStringLiteral("set"), schema, QStringLiteral("picture-uri"), uri}, why))
    return false;
  // The dark-style key exists only since GNOME 42; older versions do without it.
  QString ignored;
  RunTool(QStringLiteral("gsettings"),
          {QStringLiteral("set"), schema, QStringLiteral("picture-uri-dark"), uri}, ignored);
  return GsettingsHolds(QStringLiteral("GNOME"), schema, QStringLiteral("picture-uri"), uri, why);
}

// Cinnamon and MATE: one key names the picture.
bool SetGsettingsKey(const QString& desktop, const QString& schema, const QString& key,
                     const QString& value, const THanded& handed, QString& why) {
  return ChoosePictureStyle(schema, handed, why) &&
         RunTool(QStringLiteral("gsettings"), {QStringLiteral("set"), schema, key, value}, why) &&
         GsettingsHolds(desktop, schema, key, value, why);
}

bool SetCinnamon(const THanded& handed, QString& why) {
  return SetGsettingsKey(QStringLiteral("Cinnamon"),
                         QStringLiteral("org.cinnamon.desktop.background"),
                         QStringLiteral("picture-uri"), FileUri(handed.Whole), handed, why);
}

bool SetMate(const THanded& handed, QString& why) {
  return SetGsettingsKey(QStringLiteral("MATE"), QStringLiteral("org.mate.background"),
                         QStringLiteral("picture-filename"), handed.Whole, handed, why);
}

// xfdesktop keeps a picture for every monitor and workspace, under the monitor's output name.
bool SetXfce(const THanded& handed, QString& why) {
  const QString tool = QStringLiteral("xfconf-query");
  const QString channel = QStringLiteral("xfce4-desktop");
  const auto set = [&](const QString& property, const QString& value, bool create) {
    QStringList arguments = {QStringLiteral("-c"), channel, QStringLiteral("-p"), property};
    if (create)
      arguments << QStringLiteral("-n") << QStringLiteral("-t") << QStringLiteral("string");
    return RunTool(tool, arguments << QStringLiteral("-s") << value, why);
  };
  QMap<QString, QString> values;
  if (!XfconfValues(values, why)) return false;
  const QString image = QStringLiteral("/last-image");
  // Each property prefix ("" for all of them) and the file it gets.
  QList<std::pair<QString, QString>> targets;
  if (handed.Monitors.isEmpty()) targets << std::pair(QString(), handed.Whole);
  for (const THandedMonitor& monitor : handed.Monitors)
    targets << std::pair(
        QStringLiteral("/backdrop/screen0/monitor") + monitor.Name + QLatin1Char('/'),
        monitor.File);
  QMap<QString, QString> wanted;
  for (const auto& [prefix, file] : targets) {
    QStringList images;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
      if (it.key().startsWith(prefix) && it.key().endsWith(image)) images << it.key();
    if (images.isEmpty()) {  // xfdesktop has not stored one yet: start with the first workspace
      const QString first =
          (prefix.isEmpty() ? QStringLiteral("/backdrop/screen0/monitor0/") : prefix) +
          QStringLiteral("workspace0") + image;
      if (!set(first, file, true)) return false;
      wanted.insert(first, file);
      continue;
    }
    for (const QString& property : images) {
      // Style 0 shows no picture at all; 3 stretches it (see ChoosePictureStyle).
      const QString style = property.chopped(image.size()) + QStringLiteral("/image-style");
      if (values.value(style) == QLatin1String("0") && !set(style, QStringLiteral("3"), false))
        return false;
      if (!set(property, file, false)) return false;
      wanted.insert(property, file);
    }
  }
  return XfconfHolds(wanted, why);
}

// Each Plasma desktop belongs to a screen; with more than one monitor each gets the file of the
// monitor at its screen's place. URIs are fully percent-encoded, so they cannot break out of the
// script's strings. Each desktop prints what it holds afterwards and what it was given, ending
// the line itself (print adds no break): a locked configuration keeps the old picture.
bool SetPlasma(const THanded& handed, QString& why) {
  QString files;
  for (const THandedMonitor& monitor : handed.Monitors)
    files += QStringLiteral("  \"%1,%2,%3,%4\": \"%5\",\n")
                 .arg(monitor.Place.x())
                 .arg(monitor.Place.y())
                 .arg(monitor.Place.width())
                 .arg(monitor.Place.height())
                 .arg(FileUri(monitor.File));
  const QString script =
      QStringLiteral(
          "var files = {\n%1};\n"
          "var all = desktops();\n"
          "for (var i = 0; i < all.length; i++) {\n"
          "  var d = all[i];\n"
          "  var g = screenGeometry(d.screen);\n"
          "  var uri = files[g.x + \",\" + g.y + \",\" + g.width + \",\" + g.height] || \"%2\";\n"
          "  d.wallpaperPlugin = \"org.kde.image\";\n"
          "  d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];\n"
          "  d.writeConfig(\"Image\", uri);\n"
          "  print(d.readConfig(\"Image\") + \"\\t\" + uri + \"\\n\");\n"
          "}\n")
          .arg(files, FileUri(handed.Whole));
  QString reply;
  return RunTool(QStringLiteral("dbus-send"),
                 {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                  QStringLiteral("--dest=org.kde.plasmashell"), QStringLiteral("/PlasmaShell"),
                  QStringLiteral("org.kde.PlasmaShell.evaluateScript"),
                  QStringLiteral("string:") + script},
                 why, &reply) &&
         PlasmaReplyHolds(reply, why);
}

// The mode goes with the file: a profile left at "color" or "none" would otherwise keep the
// desktop blank. The picture is already screen-sized, so "stretch" shows it pixel for pixel and
// still fills the screen should its size change before the next composition. PCManFM spreads a
// picture of every monitor over all of them with "screen"; PCManFM-Qt has no such mode.
bool SetPcmanfm(bool qt, const THanded& handed, QString& why) {
  const bool span = !qt && handed.MonitorCount > 1;
  return RunTool(qt ? QStringLiteral("pcmanfm-qt") : QStringLiteral("pcmanfm"),
                 {QStringLiteral("--set-wallpaper"), handed.Whole,
                  span ? QStringLiteral("--wallpaper-mode=screen")
                       : QStringLiteral("--wallpaper-mode=stretch")},
                 why) &&
         PcmanfmHolds(qt, handed.Whole, why);
}

// swaymsg joins its arguments into one sway command, where a quoted word may hold spaces.
QString SwayQuoted(QString word) {
  word.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
      .replace(QLatin1Char('"'), QStringLiteral("\\\""));
  return QLatin1Char('"') + word + QLatin1Char('"');
}

// Every output its own file, or all of them the one picture.
bool SetSway(const THanded& handed, QString& why) {
  QList<std::pair<QString, QString>> outputs;
  if (handed.Monitors.isEmpty()) outputs << std::pair(QStringLiteral("*"), handed.Whole);
  for (const THandedMonitor& monitor : handed.Monitors)
    outputs << std::pair(SwayQuoted(monitor.Name), monitor.File);
  for (const auto& [output, file] : outputs)
    if (!RunTool(QStringLiteral("swaymsg"),
                 {QStringLiteral("output"), output, QStringLiteral("bg"), SwayQuoted(file),
                  QStringLiteral("fill")},
                 why))
      return false;
  return true;
}

}  // namespace

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
      {{QStringLiteral("XFCE")}, SetXfce, THandOff::Png, true},
      {{QStringLiteral("KDE")}, SetPlasma, THandOff::Bitmap, true},
      {{QStringLiteral("LXDE")},
       [](const THanded& handed, QString& why) { return SetPcmanfm(false, handed, why); },
       THandOff::Png},
      {{QStringLiteral("LXQt")},
       [](const THanded& handed, QString& why) { return SetPcmanfm(true, handed, why); },
       THandOff::Bitmap},
      {{QStringLiteral("sway")}, SetSway, THandOff::Png, true},
  };
  return desktops;
}

}  // namespace Platform
