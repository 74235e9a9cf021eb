// The real program handing its wallpaper to each desktop's own tool. The tools are stand-ins
// found on PATH (small scripts that record their arguments and the hand-off files present when
// they were called) and, for Plasma, a plasmashell object on the session's own bus; the user's
// real desktop settings are never touched. "Redraw wallpaper" is clicked three times a desktop.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <csignal>
#include <functional>

#include "E2eSession.h"
#include "PictureFiles.h"
#include "ProgramWindow.h"

namespace {

// Records its name, its arguments and the wallpaper folder's files in one line (fields split by
// \037, the files after \036) written at once, and keeps what it is told the way the desktop's
// store would. xfconf-query lists two monitors, one of them with no picture style, and MATE's
// picture style reads none: the stand-ins forget a style, so every apply sets it again.
const char StandIn[] = R"SH(#!/bin/sh
us=$(printf '\037')
record=${0##*/}
for argument in "$@"; do record="$record$us$argument"; done
record="$record$(printf '\036')$(ls -1 "$XDG_DATA_HOME/backdropper" | tr '\n' '\037')"
printf '%s\n' "$record" >> "$STANDIN_LOG"
store=$STANDIN_LOG.store
held() { grep "^$1$us" "$store" 2>/dev/null | tail -n 1 | cut -d "$us" -f 2-; }
keep() { printf '%s\037%s\n' "$1" "$2" >> "$store"; }
monitor0=/backdrop/screen0/monitorVirtual-1/workspace0
monitor1=/backdrop/screen1/monitorHDMI-1/workspace0
case "${0##*/} $1" in
  "gsettings get")
    if [ "$2 $3" = "org.mate.background picture-options" ]; then echo "'none'"
    else echo "'$(held "$2 $3")'"; fi ;;
  "gsettings set") keep "$2 $3" "$4" ;;
  "xfconf-query -c")
    if [ "$3" = -l ]; then
      echo "$monitor0/image-style  0"
      echo "$monitor0/last-image   $(held $monitor0/last-image)"
      echo "$monitor1/last-image   $(held $monitor1/last-image)"
    else
      keep "$4" "$6"
    fi ;;
  "pcmanfm-qt --set-wallpaper")
    mkdir -p "$XDG_CONFIG_HOME/pcmanfm-qt/lxqt"
    printf '[Desktop]\nWallpaper=%s\n' "$2" > "$XDG_CONFIG_HOME/pcmanfm-qt/lxqt/settings.conf" ;;
  "pcmanfm --set-wallpaper")
    mkdir -p "$XDG_CONFIG_HOME/pcmanfm/LXDE"
    printf '[*]\nwallpaper=%s\n' "$2" > "$XDG_CONFIG_HOME/pcmanfm/LXDE/desktop-items-0.conf" ;;
esac
exit 0
)SH";

struct TCall {
  QStringList Command;  // program and arguments
  QStringList Files;    // the wallpaper folder when it ran
};

class TPlasmaShell : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.PlasmaShell")
 public:
  QString Folder;
  QList<TCall> Calls;
 public Q_SLOTS:
  // Prints, for its one desktop, the picture it holds and the one it was given: the whole
  // picture, on a screen the script has no file of its own for.
  QString evaluateScript(const QString& script) {
    Calls << TCall{{QStringLiteral("evaluateScript"), script},
                   QDir(Folder).entryList(QDir::Files, QDir::Name)};
    static const QRegularExpression whole(QStringLiteral("\\|\\| \"([^\"]*)\""));
    const QString given = whole.match(script).captured(1);
    return given + QLatin1Char('\t') + given;
  }
};

QList<TCall> ReadLog(const QString& path) {
  QList<TCall> calls;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return calls;
  QString text = QString::fromUtf8(file.readAll());
  text.truncate(text.lastIndexOf('\n') + 1);  // a line still being written is not a call yet
  for (const QString& line : text.split('\n', Qt::SkipEmptyParts)) {
    const QStringList parts = line.split(QChar(0x1E));
    calls << TCall{parts.value(0).split(QChar(0x1F)),
                   parts.value(1).split(QChar(0x1F), Qt::SkipEmptyParts)};
  }
  return calls;
}

struct TDesktop {
  const char* Name;  // XDG_CURRENT_DESKTOP
  const char* Extension;
  // The commands of one apply that hands over `file`.
  std::function<QList<QStringList>(const QString& file)> Commands;
};

QString Uri(const QString& file) {
  return "file://" + file;
}

const QString Style0 = "/backdrop/screen0/monitorVirtual-1/workspace0/image-style";
const QString LastImage0 = "/backdrop/screen0/monitorVirtual-1/workspace0/last-image";
const QString LastImage1 = "/backdrop/screen1/monitorHDMI-1/workspace0/last-image";

const TDesktop Desktops[] = {
    {"GNOME", "png",
     [](const QString& f) -> QList<QStringList> {
       return {{"gsettings", "get", "org.gnome.desktop.background", "picture-options"},
               {"gsettings", "set", "org.gnome.desktop.background", "picture-uri", Uri(f)},
               {"gsettings", "set", "org.gnome.desktop.background", "picture-uri-dark", Uri(f)},
               {"gsettings", "get", "org.gnome.desktop.background", "picture-uri"}};
     }},
    {"X-Cinnamon", "png",
     [](const QString& f) -> QList<QStringList> {
       return {{"gsettings", "get", "org.cinnamon.desktop.background", "picture-options"},
               {"gsettings", "set", "org.cinnamon.desktop.background", "picture-uri", Uri(f)},
               {"gsettings", "get", "org.cinnamon.desktop.background", "picture-uri"}};
     }},
    {"MATE", "png",
     [](const QString& f) -> QList<QStringList> {
       return {{"gsettings", "get", "org.mate.background", "picture-options"},
               {"gsettings", "set", "org.mate.background", "picture-options", "stretched"},
               {"gsettings", "set", "org.mate.background", "picture-filename", f},
               {"gsettings", "get", "org.mate.background", "picture-filename"}};
     }},
    {"XFCE", "png",
     [](const QString& f) -> QList<QStringList> {
       return {{"xfconf-query", "-c", "xfce4-desktop", "-l", "-v"},
               {"xfconf-query", "-c", "xfce4-desktop", "-p", Style0, "-s", "3"},
               {"xfconf-query", "-c", "xfce4-desktop", "-p", LastImage0, "-s", f},
               {"xfconf-query", "-c", "xfce4-desktop", "-p", LastImage1, "-s", f},
               {"xfconf-query", "-c", "xfce4-desktop", "-l", "-v"}};
     }},
    {"LXDE", "png",
     [](const QString& f) -> QList<QStringList> {
       return {{"pcmanfm", "--set-wallpaper", f, "--wallpaper-mode=stretch"}};
     }},
    {"LXQt", "bmp",
     [](const QString& f) -> QList<QStringList> {
       return {{"pcmanfm-qt", "--set-wallpaper", f, "--wallpaper-mode=stretch"}};
     }},
    {"sway", "png",
     [](const QString& f) -> QList<QStringList> {
       return {{"swaymsg", "output", "*", "bg", '"' + f + '"', "fill"}};
     }},
    {"KDE", "bmp",
     [](const QString& f) -> QList<QStringList> {
       return {{"evaluateScript",
                "var files = {\n};\n"
                "var all = desktops();\n"
                "for (var i = 0; i < all.length; i++) {\n"
                "  var d = all[i];\n"
                "  var g = screenGeometry(d.screen);\n"
                "  var uri = files[g.x + \",\" + g.y + \",\" + g.width + \",\" + g.height] || \"" +
                    Uri(f) +
                    "\";\n"
                    "  d.wallpaperPlugin = \"org.kde.image\";\n"
                    "  d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];\n"
                    "  d.writeConfig(\"Image\", uri);\n"
                    "  print(d.readConfig(\"Image\") + \"\\t\" + uri + \"\\n\");\n"
                    "}\n"}};
     }},
};

}  // namespace

TEST(DesktopTools, EveryDesktopGetsItsCommandsAndANewFileAtEveryApply) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  for (const char* name : {"gsettings", "xfconf-query", "pcmanfm", "pcmanfm-qt", "swaymsg"})
    ASSERT_TRUE(session.AddStandInTool(name, StandIn));
  const QString log = session.Root() + "/tools.log";
  const QString folder = session.Environment().value("XDG_DATA_HOME") + "/backdropper";
  const QString pictures = session.ProgramDir() + "/Pictures";
  session.SetVariable("STANDIN_LOG", log);

  TPlasmaShell plasma;
  plasma.Folder = folder;
  QDBusConnection bus = QDBusConnection::connectToBus(session.BusAddress(), "plasma");
  ASSERT_TRUE(bus.isConnected());
  ASSERT_TRUE(bus.registerObject("/PlasmaShell", &plasma, QDBusConnection::ExportAllSlots));
  ASSERT_TRUE(bus.registerService("org.kde.plasmashell"));

  TProgramWindow window(session);
  for (const TDesktop& desktop : Desktops) {
    SCOPED_TRACE(desktop.Name);
    QDir(folder).removeRecursively();
    QFile::remove(log);
    plasma.Calls.clear();
    WriteQuietOptions(session, pictures + "/Dusk.jpg", pictures);
    session.SetVariable("XDG_CURRENT_DESKTOP", desktop.Name);
    QProcess* program = session.StartProgram({"ShowOnStart"});
    ASSERT_TRUE(window.Find());

    const auto calls = [&] {
      return desktop.Name == QLatin1String("KDE") ? plasma.Calls : ReadLog(log);
    };
    const int perApply = static_cast<int>(desktop.Commands({}).size());
    QStringList handed;
    for (int apply = 0; apply < 3; ++apply) {
      window.Click(&TMainForm::Label4);  // "Redraw wallpaper"
      ASSERT_TRUE(WaitUntil([&] { return calls().size() == perApply * (apply + 1); }))
          << "apply " << apply << ": " << calls().size() << " calls";
      const QString file = QStringLiteral("%1/Backdropper_Wallpaper-%2.%3")
                               .arg(folder)
                               .arg(apply % 2 + 1)
                               .arg(desktop.Extension);
      const QList<TCall> made = calls().mid(perApply * apply);
      const QList<QStringList> expected = desktop.Commands(file);
      for (int i = 0; i < perApply; ++i) {
        EXPECT_EQ(made[i].Command, expected[i]) << "apply " << apply;
        // The desktop is told about a file that exists; the one it showed before is still
        // there while it is told.
        EXPECT_TRUE(made[i].Files.contains(QFileInfo(file).fileName()))
            << apply << ": " << made[i].Files.join(", ");
        if (!handed.isEmpty()) {
          EXPECT_NE(handed.last(), file) << "every apply names a new file";
          EXPECT_TRUE(made[i].Files.contains(QFileInfo(handed.last()).fileName())) << apply;
        }
      }
      handed << file;
    }
    // Afterwards only the last hand-off is left beside the wallpaper file, and it shows what
    // the wallpaper file holds.
    WaitUntil([&] { return QDir(folder).entryList(QDir::Files).size() == 2; }, 3000);
    QStringList left = QDir(folder).entryList(QDir::Files);
    left.sort();
    QStringList expected = {"Backdropper_Wallpaper.bmp", QFileInfo(handed.last()).fileName()};
    expected.sort();
    EXPECT_EQ(left, expected);
    const QImage wallpaper(folder + "/Backdropper_Wallpaper.bmp");
    ASSERT_EQ(wallpaper.size(), QSize(1280, 1024));
    EXPECT_EQ(QImage(handed.last()).convertToFormat(QImage::Format_RGB32),
              wallpaper.convertToFormat(QImage::Format_RGB32));

    ::kill(static_cast<pid_t>(program->processId()), SIGTERM);
    ASSERT_EQ(TE2eSession::WaitForExit(program, 10000), 0);
  }
  QDBusConnection::disconnectFromBus("plasma");
}

#include "DesktopToolsTest.moc"
