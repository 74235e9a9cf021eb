// The desktop setters: the exact commands each desktop gets, the alternating file names that
// make desktops reload, and failures.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <csignal>
#include <sys/stat.h>

#include "Error/Error.h"
#include "File/File.h"
#include "MyGDIPlus/MyGDIPlus.h"
#include "PictureFiles.h"
#include "PrivateBus.h"
#include "Platform/Linux/DesktopStores.h"
#include "Platform/Linux/StoredPng.h"
#include "RecordingRunner.h"

namespace {

const QString Name = QStringLiteral("Backdropper_Wallpaper.bmp");

QString Directory() {
  return GetOperatorPath();
}
// The hand-off names: PNG for the desktops that read through gdk-pixbuf or cairo.
QString Fresh(int n, const char* extension = "png") {
  return Directory() + QStringLiteral("Backdropper_Wallpaper-%1.%2").arg(n).arg(extension);
}
QString Uri(int n) {
  return QStringLiteral("file://") + Fresh(n);
}

Platform::TCommandResult Result(int exitCode, const QString& output = {}) {
  Platform::TCommandResult result;
  result.Started = true;
  result.ExitCode = exitCode;
  result.Output = output;
  return result;
}

class WallpaperSetter : public ::testing::Test {
 protected:
  void SetUp() override {
    QDir(Directory()).removeRecursively();
    ASSERT_TRUE(SaveBitmapFile(SolidImage(16, 9, qRgb(9, 8, 7)), Directory() + Name));
  }
};

ino_t Inode(const QString& path) {
  struct stat st {};
  ::stat(QFile::encodeName(path).constData(), &st);
  return st.st_ino;
}

}  // namespace

TEST_F(WallpaperSetter, GnomeFamilySetsBothPictureKeys) {
  for (const char* name : {"GNOME", "ubuntu:GNOME", "Unity", "Budgie:GNOME", "gnome"}) {
    TRecordedDesktop desktop(name);
    ASSERT_TRUE(SetFileAsWallpaper(Name)) << name;
    const QList<QStringList> expected = {
        {"gsettings", "get", "org.gnome.desktop.background", "picture-options"},
        {"gsettings", "set", "org.gnome.desktop.background", "picture-uri", Uri(1)},
        {"gsettings", "set", "org.gnome.desktop.background", "picture-uri-dark", Uri(1)},
        {"gsettings", "get", "org.gnome.desktop.background", "picture-uri"}};
    EXPECT_EQ(desktop.Runner->Commands, expected) << name;
    QFile::remove(Fresh(1));
  }
}

TEST_F(WallpaperSetter, CinnamonMateLxdeLxqtAndSway) {
  struct Case {
    const char* Desktop;
    QList<QStringList> Commands;
  };
  const QList<Case> cases = {
      {"X-Cinnamon",
       {{"gsettings", "get", "org.cinnamon.desktop.background", "picture-options"},
        {"gsettings", "set", "org.cinnamon.desktop.background", "picture-uri", Uri(1)},
        {"gsettings", "get", "org.cinnamon.desktop.background", "picture-uri"}}},
      {"MATE",
       {{"gsettings", "get", "org.mate.background", "picture-options"},
        {"gsettings", "set", "org.mate.background", "picture-filename", Fresh(1)},
        {"gsettings", "get", "org.mate.background", "picture-filename"}}},
      {"LXDE", {{"pcmanfm", "--set-wallpaper", Fresh(1), "--wallpaper-mode=stretch"}}},
      {"LXQt", {{"pcmanfm-qt", "--set-wallpaper", Fresh(1, "bmp"), "--wallpaper-mode=stretch"}}},
      {"sway", {{"swaymsg", "output", "*", "bg", '"' + Fresh(1) + '"', "fill"}}},
  };
  for (const Case& c : cases) {
    TRecordedDesktop desktop(c.Desktop);
    ASSERT_TRUE(SetFileAsWallpaper(Name)) << c.Desktop;
    EXPECT_EQ(desktop.Runner->Commands, c.Commands) << c.Desktop;
    QFile::remove(Fresh(1));
    QFile::remove(Fresh(1, "bmp"));
  }
}

TEST_F(WallpaperSetter, XfceSetsEveryMonitorsLastImageAndAStyleThatShowsIt) {
  TRecordedDesktop desktop("XFCE");
  const QString style0 = "/backdrop/screen0/monitorVirtual-1/workspace0/image-style";
  const QString image0 = "/backdrop/screen0/monitorVirtual-1/workspace0/last-image";
  const QString style1 = "/backdrop/screen0/monitorHDMI-1/workspace1/image-style";
  const QString image1 = "/backdrop/screen0/monitorHDMI-1/workspace1/last-image";
  desktop.Runner->Store = {{style0, "0"}, {image0, "/a b.png"}, {style1, "5"}, {image1, ""}};
  ASSERT_TRUE(SetFileAsWallpaper(Name));
  const QStringList list = {"xfconf-query", "-c", "xfce4-desktop", "-l", "-v"};
  const QStringList set = {"xfconf-query", "-c", "xfce4-desktop", "-p"};
  const QList<QStringList> expected = {list, set + QStringList{image1, "-s", Fresh(1)},
                                       set + QStringList{style0, "-s", "3"},
                                       set + QStringList{image0, "-s", Fresh(1)}, list};
  EXPECT_EQ(desktop.Runner->Commands, expected);

  // Nothing stored yet: the first monitor's property is created.
  desktop.Runner->Commands.clear();
  desktop.Runner->Store.clear();
  ASSERT_TRUE(SetFileAsWallpaper(Name));
  ASSERT_EQ(desktop.Runner->Commands.size(), 3);
  EXPECT_EQ(desktop.Runner->Commands[1],
            set + QStringList({"/backdrop/screen0/monitor0/workspace0/last-image", "-n", "-t",
                               "string", "-s", Fresh(2)}));
}

TEST_F(WallpaperSetter, APictureStyleOfNoneBecomesStretchedAndAnyOtherIsKept) {
  for (const char* schema :
       {"org.gnome.desktop.background", "org.cinnamon.desktop.background", "org.mate.background"}) {
    const char* name = QByteArray(schema).contains("gnome")      ? "GNOME"
                       : QByteArray(schema).contains("cinnamon") ? "X-Cinnamon"
                                                                 : "MATE";
    for (const char* style : {"none", "zoom", "wallpaper"}) {
      TRecordedDesktop desktop(name);
      desktop.Runner->Store[QString(schema) + " picture-options"] = style;
      ASSERT_TRUE(SetFileAsWallpaper(Name)) << name;
      const QStringList stretch = {"gsettings", "set", schema, "picture-options", "stretched"};
      EXPECT_EQ(desktop.Runner->Commands.contains(stretch), QByteArray(style) == "none")
          << name << " " << style;
      if (QByteArray(style) == "none") {
        EXPECT_EQ(desktop.Runner->Commands.indexOf(stretch), 1);
      }
    }
  }
}

TEST_F(WallpaperSetter, PlasmaGetsAScriptOverTheSessionBus) {
  TRecordedDesktop desktop("KDE");
  ASSERT_TRUE(SetFileAsWallpaper(Name));
  ASSERT_EQ(desktop.Runner->Commands.size(), 1);
  const QStringList command = desktop.Runner->Commands[0];
  EXPECT_EQ(command.mid(0, 6),
            QStringList({"dbus-send", "--session", "--print-reply", "--dest=org.kde.plasmashell",
                         "/PlasmaShell", "org.kde.PlasmaShell.evaluateScript"}));
  ASSERT_EQ(command.size(), 7);
  EXPECT_TRUE(command[6].startsWith("string:var files = {\n};\nvar all = desktops();"));
  EXPECT_TRUE(command[6].contains("d.wallpaperPlugin = \"org.kde.image\";"));
  EXPECT_TRUE(command[6].contains("|| \"file://" + Fresh(1, "bmp") + "\";"));
  EXPECT_TRUE(command[6].contains("d.writeConfig(\"Image\", uri);"));
  EXPECT_TRUE(command[6].contains("print(d.readConfig(\"Image\") + \"\\t\" + uri + \"\\n\");"));
}

TEST_F(WallpaperSetter, AwkwardPathsStayInsideTheirQuotes) {
  const QByteArray old = qgetenv("XDG_DATA_HOME");
  qputenv("XDG_DATA_HOME", old + "/my \"walls\"");
  ASSERT_TRUE(SaveBitmapFile(SolidImage(4, 4, 0), Directory() + Name));
  const QString directory = Directory();
  {
    TRecordedDesktop desktop("KDE");
    ASSERT_TRUE(SetFileAsWallpaper(Name));
    EXPECT_TRUE(desktop.Runner->Commands[0][6].contains("/my%20%22walls%22/backdropper/"));
  }
  {
    TRecordedDesktop desktop("sway");
    ASSERT_TRUE(SetFileAsWallpaper(Name));
    QString escaped = directory;
    escaped.replace("\"", "\\\"");
    EXPECT_EQ(desktop.Runner->Commands[0][4], "\"" + escaped + "Backdropper_Wallpaper-1.png\"");
  }
  qputenv("XDG_DATA_HOME", old);
}

TEST_F(WallpaperSetter, NamesAlternateSoDesktopsReload) {
  const QString main = Directory() + Name;
  struct Case {
    const char* Desktop;
    const char* Extension;
  };
  for (const Case& c : {Case{"MATE", "png"}, Case{"LXQt", "bmp"}}) {
    TRecordedDesktop desktop(c.Desktop);
    for (int round = 0; round < 4; ++round) {
      const QImage picture = NoiseImage(37, 23, static_cast<quint32>(round));
      ASSERT_TRUE(SaveBitmapFile(picture, main));
      // Every second round without the pixels: the setter reads the file.
      const qsizetype before = desktop.Runner->Commands.size();
      ASSERT_TRUE(SetFileAsWallpaper(Name, round % 2 ? QImage() : picture));
      const int used = round % 2 ? 2 : 1;
      const QString fresh = Fresh(used, c.Extension);
      EXPECT_TRUE(std::any_of(desktop.Runner->Commands.cbegin() + before,
                              desktop.Runner->Commands.cend(),
                              [&](const QStringList& command) { return command.contains(fresh); }))
          << round;
      EXPECT_FALSE(QFileInfo::exists(Fresh(3 - used, c.Extension)))
          << c.Desktop << ": stale name kept in round " << round;
      const QImage handed(fresh);
      ASSERT_EQ(handed.size(), picture.size()) << c.Desktop << round;
      for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
          ASSERT_EQ(handed.pixel(x, y), picture.pixel(x, y)) << c.Desktop << round;
      if (QLatin1String(c.Extension) == QLatin1String("bmp")) {
        EXPECT_EQ(Inode(fresh), Inode(main)) << "a link to the current picture";
      }
    }
  }
  // Switching from the PNG desktop to the bitmap one cleared the PNG names.
  EXPECT_FALSE(QFileInfo::exists(Fresh(1)));
  EXPECT_FALSE(QFileInfo::exists(Fresh(2)));
}

TEST_F(WallpaperSetter, HandOffPngIsExactAndReadByEveryDecoder) {
  // Sizes around the stored blocks (65535 bytes) and chunks (1 MiB) the writer cuts.
  for (const QSize size : {QSize(1, 1), QSize(10922, 2), QSize(10922, 7), QSize(700, 520)}) {
    const QImage picture = NoiseImage(size.width(), size.height(), 7);
    const QString path = TestPicturePath("handoff.png");
    QString why;
    ASSERT_TRUE(Platform::WriteStoredPng(picture, path, why)) << why;
    const QImage read(path);
    ASSERT_EQ(read.size(), size);
    EXPECT_EQ(read.convertToFormat(QImage::Format_RGB32), picture) << size.width();
    // ImageMagick (libpng and zlib with their checks) reads the same pixels.
    const QString copy = TestPicturePath("handoff-copy.bmp");
    ASSERT_TRUE(Convert({path, "BMP3:" + copy})) << size.width();
    EXPECT_EQ(QImage(copy).convertToFormat(QImage::Format_RGB32), picture) << size.width();
  }
  QString why;
  EXPECT_FALSE(Platform::WriteStoredPng(SolidImage(4, 4, 0), "/nonexistent/dir/x.png", why));
  EXPECT_FALSE(why.isEmpty());
}

TEST_F(WallpaperSetter, RefusalIsReportedAndTheShownFileKept) {
  TRecordedDesktop desktop("MATE");
  ASSERT_TRUE(SetFileAsWallpaper(Name));  // the desktop now shows name 1
  desktop.Runner->Answer = [](const QString&, const QStringList&) {
    Platform::TCommandResult result = Result(4);
    result.Errors = "No such schema";
    return result;
  };
  EXPECT_FALSE(SetFileAsWallpaper(Name));
  const TFunStatContext seen = FunStatContext;  // Directory() runs a frame of its own
  EXPECT_EQ(seen.Status, fsError);
  EXPECT_EQ(seen.Function, QStringLiteral("SetFileAsWallpaper"));
  EXPECT_EQ(seen.Description, QStringLiteral("Failed to set wallpaper."));
  EXPECT_EQ(seen.Parameter1, Directory() + Name);
  EXPECT_EQ(seen.Parameter2, QStringLiteral("gsettings failed with exit code 4: No such schema"));
  EXPECT_TRUE(QFileInfo::exists(Fresh(1)));
  EXPECT_FALSE(QFileInfo::exists(Fresh(2)));

  // A tool that is not installed.
  desktop.Runner->Answer = [](const QString&, const QStringList&) {
    return Platform::TCommandResult{};
  };
  EXPECT_FALSE(SetFileAsWallpaper(Name));
  EXPECT_EQ(FunStatContext.Parameter2, QStringLiteral("gsettings failed"));
}

TEST_F(WallpaperSetter, GnomeWithoutTheDarkKeyStillSucceeds) {
  TRecordedDesktop desktop("GNOME");
  desktop.Runner->Answer =
      [](const QString&, const QStringList& arguments) -> std::optional<Platform::TCommandResult> {
    if (arguments.contains("picture-uri-dark")) return Result(1);
    return std::nullopt;
  };
  EXPECT_TRUE(SetFileAsWallpaper(Name));
  EXPECT_EQ(desktop.Runner->Commands.size(), 4);
}

TEST_F(WallpaperSetter, ADesktopThatKeepsItsOldWallpaperIsAFailure) {
  // Each desktop first takes a wallpaper, then answers with success and keeps it: a locked key,
  // an immutable configuration, a desktop process that is not running.
  struct Case {
    const char* Desktop;
    const char* Extension;
    QString Says;  // the store the failure names
  };
  const QList<Case> cases = {
      {"GNOME", "png",
       "GNOME: the desktop did not take the wallpaper; picture-uri holds " + Uri(1)},
      {"X-Cinnamon", "png",
       "Cinnamon: the desktop did not take the wallpaper; picture-uri holds " + Uri(1)},
      {"MATE", "png",
       "MATE: the desktop did not take the wallpaper; picture-filename holds " + Fresh(1)},
      {"XFCE", "png",
       "XFCE: the desktop did not take the wallpaper; "
       "/backdrop/screen0/monitor0/workspace0/last-image holds " +
           Fresh(1)},
      {"KDE", "bmp",
       "Plasma: the desktop did not take the wallpaper; a desktop's Image holds file://" +
           Fresh(1, "bmp")},
      {"LXDE", "png",
       "LXDE: the desktop did not take the wallpaper; pcmanfm's settings holds " + Fresh(1)},
      {"LXQt", "bmp",
       "LXQt: the desktop did not take the wallpaper; pcmanfm-qt's settings holds " +
           Fresh(1, "bmp")},
  };
  for (const Case& c : cases) {
    TRecordedDesktop desktop(c.Desktop);
    ASSERT_TRUE(SetFileAsWallpaper(Name)) << c.Desktop;
    desktop.Runner->Keeps = false;
    EXPECT_FALSE(SetFileAsWallpaper(Name)) << c.Desktop;
    EXPECT_EQ(FunStatContext.Description, QStringLiteral("Failed to set wallpaper."));
    EXPECT_EQ(FunStatContext.Parameter2, c.Says);
    // The file the desktop still shows stays; the one it did not take goes.
    EXPECT_TRUE(QFileInfo::exists(Fresh(1, c.Extension))) << c.Desktop;
    EXPECT_FALSE(QFileInfo::exists(Fresh(2, c.Extension))) << c.Desktop;
    QFile::remove(Fresh(1, c.Extension));
  }
}

TEST_F(WallpaperSetter, OtherSessionsUseTheRootWindow) {
  // With no X display (cleared by the fixture) the root window cannot be reached; no desktop
  // tool is run.
  for (const char* name : {"", "Hyprland", "i3", "Openbox:"}) {
    TRecordedDesktop desktop(name);
    EXPECT_FALSE(SetFileAsWallpaper(Name)) << name;
    EXPECT_EQ(FunStatContext.Parameter2, QStringLiteral("Cannot connect to the X server."));
    EXPECT_TRUE(desktop.Runner->Commands.isEmpty());
  }
  // A missing wallpaper file fails before anything is handed over.
  TRecordedDesktop desktop("MATE");
  EXPECT_FALSE(SetFileAsWallpaper(QStringLiteral("Missing.bmp")));
  EXPECT_TRUE(desktop.Runner->Commands.isEmpty());
}

TEST_F(WallpaperSetter, MissingDesktopToolsFailWithTheRealRunner) {
  // The real runner finds programs on PATH; here PATH holds nothing.
  const QByteArray path = qgetenv("PATH");
  const QString empty = TestPicturePath("no-tools");
  QDir().mkpath(empty);
  qputenv("PATH", QFile::encodeName(empty));
  const QList<QPair<const char*, QString>> tools = {
      {"GNOME", "gsettings"},   {"X-Cinnamon", "gsettings"}, {"MATE", "gsettings"},
      {"XFCE", "xfconf-query"}, {"KDE", "dbus-send"},        {"LXDE", "pcmanfm"},
      {"LXQt", "pcmanfm-qt"},   {"sway", "swaymsg"}};
  for (const auto& [name, tool] : tools) {
    qputenv("XDG_CURRENT_DESKTOP", name);
    EXPECT_FALSE(SetFileAsWallpaper(Name)) << name;
    const TFunStatContext seen = FunStatContext;
    EXPECT_EQ(seen.Description, QStringLiteral("Failed to set wallpaper.")) << name;
    EXPECT_TRUE(seen.Parameter2.startsWith(tool + " failed")) << name << ": " << seen.Parameter2;
    EXPECT_EQ(QDir(Directory()).entryList(QDir::Files), QStringList{Name})
        << name << ": the unused hand-off file is removed";
  }
  qunsetenv("XDG_CURRENT_DESKTOP");
  qputenv("PATH", path);
}

TEST_F(WallpaperSetter, AHungToolIsStoppedAtTheTimeLimit) {
  // A stand-in that never answers and, like a stuck pcmanfm, ignores SIGTERM.
  const QByteArray path = qgetenv("PATH");
  const QString tools = TestPicturePath("hung-tools");
  const QString pidFile = tools + "/pid";
  QDir().mkpath(tools);
  QFile script(tools + "/gsettings");
  ASSERT_TRUE(script.open(QIODevice::WriteOnly));
  script.write("#!/bin/sh\necho $$ > '" + QFile::encodeName(pidFile) +
               "'\ntrap '' TERM\nexec /bin/sleep 60\n");
  script.close();
  script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  qputenv("PATH", QFile::encodeName(tools));
  qputenv("XDG_CURRENT_DESKTOP", "MATE");
  Platform::SetCommandRunner(Platform::MakeProcessRunner(300));

  EXPECT_FALSE(SetFileAsWallpaper(Name));
  EXPECT_EQ(FunStatContext.Parameter2, QStringLiteral("gsettings failed: Timed out."));
  QFile pid(pidFile);
  ASSERT_TRUE(pid.open(QIODevice::ReadOnly));
  EXPECT_NE(::kill(static_cast<pid_t>(pid.readAll().trimmed().toLongLong()), 0), 0)
      << "the tool is gone";

  Platform::SetCommandRunner(nullptr);
  qunsetenv("XDG_CURRENT_DESKTOP");
  qputenv("PATH", path);
}

TEST_F(WallpaperSetter, AKeyLockedByTheAdministratorIsReportedByRealGsettings) {
  // Real gsettings and dconf on a bus of the test's own. The lock sits in a database of the
  // test's own that the dconf profile names, as an administrator's lockdown does.
  const QString root = TestPicturePath("dconf");
  QDir(root).removeRecursively();
  ASSERT_TRUE(QDir().mkpath(root + "/site.d/locks"));
  const auto write = [](const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
  };
  ASSERT_TRUE(write(root + "/site.d/background",
                    "[org/gnome/desktop/background]\npicture-uri='file:///locked.png'\n"));
  ASSERT_TRUE(
      write(root + "/site.d/locks/background", "/org/gnome/desktop/background/picture-uri\n"));
  ASSERT_EQ(QProcess::execute("dconf", {"compile", root + "/site", root + "/site.d"}), 0);
  ASSERT_TRUE(
      write(root + "/locked", "user-db:user\nfile-db:" + QFile::encodeName(root) + "/site\n"));
  ASSERT_TRUE(write(root + "/open", "user-db:user\n"));
  qputenv("GSETTINGS_BACKEND", "dconf");
  qputenv("XDG_CURRENT_DESKTOP", "GNOME");
  TPrivateBus bus;
  ASSERT_FALSE(bus.Address().isEmpty());
  const auto held = [](const char* key) {
    QProcess get;
    get.start("gsettings", {"get", "org.gnome.desktop.background", key});
    get.waitForFinished();
    return QString::fromUtf8(get.readAllStandardOutput()).trimmed();
  };

  qputenv("DCONF_PROFILE", QFile::encodeName(root + "/locked"));
  EXPECT_FALSE(SetFileAsWallpaper(Name));
  EXPECT_EQ(FunStatContext.Parameter2,
            QStringLiteral("gsettings failed with exit code 1: The key is not writable"));
  EXPECT_EQ(held("picture-uri"), "'file:///locked.png'");
  EXPECT_FALSE(QFileInfo::exists(Fresh(1))) << "the file the desktop did not take is removed";

  // Without the lock the same store takes it, and reads back what was set.
  qputenv("DCONF_PROFILE", QFile::encodeName(root + "/open"));
  EXPECT_TRUE(SetFileAsWallpaper(Name)) << FunStatContext.Parameter2.toStdString();
  EXPECT_EQ(held("picture-uri"), "'" + Uri(1) + "'");
  EXPECT_EQ(held("picture-uri-dark"), "'" + Uri(1) + "'");
  for (const char* name : {"GSETTINGS_BACKEND", "XDG_CURRENT_DESKTOP", "DCONF_PROFILE"})
    qunsetenv(name);
}

// Two monitors side by side, as a docked laptop has them; the picture red on the first, blue on
// the second.
const Platform::TWallpaperLayout TwoMonitors = {
    Qt::black, {{"eDP-1", QRect(0, 0, 10, 9)}, {"HDMI-2", QRect(10, 0, 6, 9)}}};

QImage TwoMonitorPicture() {
  QImage picture = SolidImage(16, 9, qRgb(200, 0, 0));
  for (int y = 0; y < 9; ++y)
    for (int x = 10; x < 16; ++x) picture.setPixel(x, y, qRgb(0, 0, 200));
  return picture;
}

QString Own(const char* monitor) {
  return Directory() + QStringLiteral("Backdropper_Wallpaper-%1-1.png").arg(monitor);
}

TEST_F(WallpaperSetter, EachMonitorGetsItsOwnFileWhereTheDesktopKeepsOne) {
  const QString xfce = "/backdrop/screen0/monitor";
  struct Case {
    const char* Desktop;
    QMap<QString, QString> Store;  // what the desktop held before
    QList<QStringList> Told;       // commands naming the monitors' files, in order
  };
  const QList<Case> cases = {
      {"XFCE",
       {{xfce + "eDP-1/workspace0/last-image", "/a.png"},
        {xfce + "eDP-1/workspace1/last-image", "/b.png"},
        {xfce + "Gone-1/workspace0/last-image", "/c.png"}},
       {{"xfconf-query", "-c", "xfce4-desktop", "-p", xfce + "eDP-1/workspace0/last-image", "-s",
         Own("eDP-1")},
        {"xfconf-query", "-c", "xfce4-desktop", "-p", xfce + "eDP-1/workspace1/last-image", "-s",
         Own("eDP-1")},
        {"xfconf-query", "-c", "xfce4-desktop", "-p", xfce + "HDMI-2/workspace0/last-image", "-n",
         "-t", "string", "-s", Own("HDMI-2")}}},
      {"sway",
       {},
       {{"swaymsg", "output", "\"eDP-1\"", "bg", '"' + Own("eDP-1") + '"', "fill"},
        {"swaymsg", "output", "\"HDMI-2\"", "bg", '"' + Own("HDMI-2") + '"', "fill"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Desktop);
    TRecordedDesktop desktop(c.Desktop);
    desktop.Runner->Store = c.Store;
    ASSERT_TRUE(SetFileAsWallpaper(Name, TwoMonitorPicture(), TwoMonitors))
        << FunStatContext.Parameter2;
    QList<QStringList> told;
    for (const QStringList& command : desktop.Runner->Commands)
      if (const QString line = command.join(' ');
          line.contains(Own("eDP-1")) || line.contains(Own("HDMI-2")))
        told << command;
    EXPECT_EQ(told, c.Told);
    EXPECT_EQ(desktop.Runner->Store.value(xfce + "Gone-1/workspace0/last-image"),
              c.Store.value(xfce + "Gone-1/workspace0/last-image"))
        << "a monitor that is not there is left alone";
    EXPECT_EQ(QImage(Own("eDP-1")),
              SolidImage(10, 9, qRgb(200, 0, 0)).convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(QImage(Own("HDMI-2")),
              SolidImage(6, 9, qRgb(0, 0, 200)).convertToFormat(QImage::Format_RGB32));
    // Back to one monitor: the monitors' files go.
    ASSERT_TRUE(SetFileAsWallpaper(Name, TwoMonitorPicture()));
    EXPECT_EQ(QDir(Directory()).entryList({"*-eDP-1-*", "*-HDMI-2-*"}, QDir::Files), QStringList());
  }

  // Plasma: each desktop picks the file of the monitor at its screen's place.
  TRecordedDesktop desktop("KDE");
  ASSERT_TRUE(SetFileAsWallpaper(Name, TwoMonitorPicture(), TwoMonitors));
  const QString script = desktop.Runner->Commands[0][6];
  EXPECT_TRUE(script.contains("  \"0,0,10,9\": \"file://" + Own("eDP-1") + "\",\n")) << script;
  EXPECT_TRUE(script.contains("  \"10,0,6,9\": \"file://" + Own("HDMI-2") + "\",\n")) << script;
}

TEST_F(WallpaperSetter, OneFileDesktopsSpanSeveralMonitorsAndGiveTheUsersStyleBack) {
  struct Case {
    const char* Desktop;
    QString Schema;
  };
  for (const Case& c : {Case{"GNOME", "org.gnome.desktop.background"},
                        Case{"X-Cinnamon", "org.cinnamon.desktop.background"},
                        Case{"MATE", "org.mate.background"}}) {
    SCOPED_TRACE(c.Desktop);
    TRecordedDesktop desktop(c.Desktop);
    const QString style = c.Schema + " picture-options";
    desktop.Runner->Store[style] = "zoom";
    ASSERT_TRUE(SetFileAsWallpaper(Name, TwoMonitorPicture(), TwoMonitors));
    EXPECT_EQ(desktop.Runner->Store.value(style), "spanned");
    ASSERT_TRUE(SetFileAsWallpaper(Name, TwoMonitorPicture(), TwoMonitors));
    EXPECT_EQ(desktop.Runner->Store.value(style), "spanned");
    ASSERT_TRUE(SetFileAsWallpaper(Name, TwoMonitorPicture()));
    EXPECT_EQ(desktop.Runner->Store.value(style), "zoom") << "the user's own style is back";
    // A style the user chose while one monitor was on stays.
    desktop.Runner->Store[style] = "centered";
    ASSERT_TRUE(SetFileAsWallpaper(Name, TwoMonitorPicture()));
    EXPECT_EQ(desktop.Runner->Store.value(style), "centered");
    EXPECT_TRUE(QDir(Directory()).entryList({"*-eDP-1-*"}, QDir::Files).isEmpty())
        << "one file is all these desktops need";
  }
  // PCManFM spreads the one picture over every monitor itself.
  TRecordedDesktop desktop("LXDE");
  ASSERT_TRUE(SetFileAsWallpaper(Name, TwoMonitorPicture(), TwoMonitors));
  EXPECT_EQ(desktop.Runner->Commands[0].last(), "--wallpaper-mode=screen");
  ASSERT_TRUE(SetFileAsWallpaper(Name, TwoMonitorPicture()));
  EXPECT_EQ(desktop.Runner->Commands[1].last(), "--wallpaper-mode=stretch");
}

TEST_F(WallpaperSetter, PlasmasReplyIsReadADesktopALine) {
  const QString a = "file:///a.png", b = "file:///b.png";
  const auto reply = [](const QString& printed) {
    return "method return time=1 sender=:1.2\n   string \"" + printed + "\"\n";
  };
  struct Case {
    QString Reply;
    QString Why;  // empty: taken
  };
  const QString notTaken = "Plasma: the desktop did not take the wallpaper; ";
  const QList<Case> cases = {
      {reply(a + "\t" + a + "\n" + b + "\t" + b + "\n"), ""},
      {reply(a + "\t" + a + "\n" + a + "\t" + b + "\n"), notTaken + "a desktop's Image holds " + a},
      {reply(""), notTaken + "the shell's reply holds nothing"},
      {"", notTaken + "the shell's reply holds nothing"},
  };
  for (const Case& c : cases) {
    QString why;
    EXPECT_EQ(Platform::PlasmaReplyHolds(c.Reply, why), c.Why.isEmpty()) << c.Reply;
    EXPECT_EQ(why, c.Why) << c.Reply;
  }
}
