// The desktop setters: the exact commands each desktop gets, the alternating file names that
// make desktops reload, and failures.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

#include "Error.h"
#include "File.h"
#include "MyGDIPlus.h"
#include "PictureFiles.h"
#include "RecordingRunner.h"

namespace {

const QString Name = QStringLiteral("Backdropper_Wallpaper.bmp");

QString Directory() {
  return GetOperatorPath();
}
QString Fresh(int n) {
  return Directory() + QStringLiteral("Backdropper_Wallpaper-%1.bmp").arg(n);
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
        {"gsettings", "set", "org.gnome.desktop.background", "picture-uri", Uri(1)},
        {"gsettings", "set", "org.gnome.desktop.background", "picture-uri-dark", Uri(1)}};
    EXPECT_EQ(desktop.Runner->Commands, expected) << name;
    QFile::remove(Fresh(1));
  }
}

TEST_F(WallpaperSetter, CinnamonMateLxdeLxqtAndSway) {
  struct Case {
    const char* Desktop;
    QStringList Command;
  };
  const QList<Case> cases = {
      {"X-Cinnamon",
       {"gsettings", "set", "org.cinnamon.desktop.background", "picture-uri", Uri(1)}},
      {"MATE", {"gsettings", "set", "org.mate.background", "picture-filename", Fresh(1)}},
      {"LXDE", {"pcmanfm", "--set-wallpaper", Fresh(1)}},
      {"LXQt", {"pcmanfm-qt", "--set-wallpaper", Fresh(1)}},
      {"sway", {"swaymsg", "output", "*", "bg", '"' + Fresh(1) + '"', "fill"}},
  };
  for (const Case& c : cases) {
    TRecordedDesktop desktop(c.Desktop);
    ASSERT_TRUE(SetFileAsWallpaper(Name)) << c.Desktop;
    EXPECT_EQ(desktop.Runner->Commands, QList<QStringList>{c.Command}) << c.Desktop;
    QFile::remove(Fresh(1));
  }
}

TEST_F(WallpaperSetter, XfceSetsEveryMonitorsLastImage) {
  TRecordedDesktop desktop("XFCE");
  desktop.Runner->Answer = [](const QString&, const QStringList& arguments) {
    return arguments.contains("-l")
               ? Result(0,
                        "/backdrop/screen0/monitorVirtual-1/workspace0/image-style\n"
                        "/backdrop/screen0/monitorVirtual-1/workspace0/last-image\n"
                        "/backdrop/screen0/monitorHDMI-1/workspace1/last-image\n")
               : Result(0);
  };
  ASSERT_TRUE(SetFileAsWallpaper(Name));
  const QList<QStringList> expected = {
      {"xfconf-query", "-c", "xfce4-desktop", "-l"},
      {"xfconf-query", "-c", "xfce4-desktop", "-p",
       "/backdrop/screen0/monitorVirtual-1/workspace0/last-image", "-s", Fresh(1)},
      {"xfconf-query", "-c", "xfce4-desktop", "-p",
       "/backdrop/screen0/monitorHDMI-1/workspace1/last-image", "-s", Fresh(1)}};
  EXPECT_EQ(desktop.Runner->Commands, expected);

  // Nothing stored yet: the first monitor's property is created.
  desktop.Runner->Commands.clear();
  desktop.Runner->Answer = nullptr;
  ASSERT_TRUE(SetFileAsWallpaper(Name));
  ASSERT_EQ(desktop.Runner->Commands.size(), 2);
  EXPECT_EQ(desktop.Runner->Commands[1],
            QStringList({"xfconf-query", "-c", "xfce4-desktop", "-p",
                         "/backdrop/screen0/monitor0/workspace0/last-image", "-n", "-t", "string",
                         "-s", Fresh(2)}));
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
  EXPECT_TRUE(command[6].startsWith("string:var all = desktops();"));
  EXPECT_TRUE(command[6].contains("d.wallpaperPlugin = \"org.kde.image\";"));
  EXPECT_TRUE(command[6].contains("d.writeConfig(\"Image\", \"" + Uri(1) + "\");"));
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
    EXPECT_EQ(desktop.Runner->Commands[0][4], "\"" + escaped + "Backdropper_Wallpaper-2.bmp\"");
  }
  qputenv("XDG_DATA_HOME", old);
}

TEST_F(WallpaperSetter, NamesAlternateSoDesktopsReload) {
  TRecordedDesktop desktop("MATE");
  const QString main = Directory() + Name;
  for (int round = 0; round < 4; ++round) {
    ASSERT_TRUE(SaveBitmapFile(SolidImage(16, 9, qRgb(round, 0, 0)), main));
    ASSERT_TRUE(SetFileAsWallpaper(Name));
    const int used = round % 2 ? 2 : 1;
    EXPECT_EQ(desktop.Runner->Commands.last().last(), Fresh(used)) << round;
    EXPECT_TRUE(QFileInfo::exists(Fresh(used)));
    EXPECT_FALSE(QFileInfo::exists(Fresh(3 - used))) << "stale name kept in round " << round;
    EXPECT_EQ(Inode(Fresh(used)), Inode(main)) << "a link to the current picture";
    EXPECT_EQ(qRed(QImage(Fresh(used)).pixel(0, 0)), round);
  }
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
  EXPECT_EQ(seen.Parameter2,
            QStringLiteral("gsettings failed with exit code 4: No such schema"));
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
  desktop.Runner->Answer = [](const QString&, const QStringList& arguments) {
    return Result(arguments.contains("picture-uri-dark") ? 1 : 0);
  };
  EXPECT_TRUE(SetFileAsWallpaper(Name));
  EXPECT_EQ(desktop.Runner->Commands.size(), 2);
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
