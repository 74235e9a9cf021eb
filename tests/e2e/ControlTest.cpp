// The running copy reached from outside, under Xvfb with a real tray host and a private session
// bus: calls on the bus and a second start's command change the wallpaper, and the tray menu's
// "Close" ends the program with its options written.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <QThread>
#include <csignal>

#include "E2eSession.h"

namespace {

// Running processes started from the session's own copy of the program.
int CopiesRunning(const TE2eSession& session) {
  int copies = 0;
  for (const QString& pid : QDir("/proc").entryList(QDir::Dirs))
    if (QFileInfo("/proc/" + pid + "/exe").symLinkTarget() == session.ProgramPath()) ++copies;
  return copies;
}

}  // namespace

TEST(Control, BusCallsAndASecondStartsCommandChangeTheWallpaper) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  session.WriteDirectoryListOptions(session.PicturesDir());
  QProcess* program = session.StartProgram();
  QImage wallpaper = session.WaitForWallpaper();
  ASSERT_FALSE(wallpaper.isNull()) << "the first tick sets a picture";

  QString reply;
  EXPECT_EQ(session.Run("dbus-send",
                        {"--session", "--print-reply", "--dest=org.backdropper.Backdropper",
                         "/org/backdropper/Control", "org.backdropper.Control.Next"},
                        &reply),
            0)
      << reply.toStdString();
  wallpaper = session.WaitForWallpaper(wallpaper);
  ASSERT_FALSE(wallpaper.isNull()) << "a call on the bus moves to the next picture";

  // A random step may land on the same picture; what shows it was carried out is a new file.
  for (const char* command : {"next", "Previous", "RANDOM"}) {
    const QDateTime before = QFileInfo(session.WallpaperFile()).lastModified();
    QProcess* second = session.StartProgram({command});
    EXPECT_EQ(TE2eSession::WaitForExit(second, 15000), 0) << command;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return QFileInfo(session.WallpaperFile()).lastModified() != before; }, 20000))
        << command << ": the running copy composed the wallpaper again";
  }
  wallpaper = session.WaitForWallpaper();
  ASSERT_FALSE(wallpaper.isNull());

  QProcess* unknown = session.StartProgram({"Bogus"});
  EXPECT_EQ(TE2eSession::WaitForExit(unknown, 15000), 0);
  QThread::msleep(1500);
  EXPECT_EQ(QImage(session.WallpaperFile()), wallpaper) << "an unknown command changes nothing";
  EXPECT_EQ(CopiesRunning(session), 1);

  // Started again from the menu, it shows the running copy's window (desktops without a tray).
  EXPECT_TRUE(session.FindWindows("^Backdropper$").isEmpty());
  QProcess* menu = session.StartProgram({"ShowOnStart"});
  EXPECT_EQ(TE2eSession::WaitForExit(menu, 15000), 0);
  EXPECT_TRUE(session.WaitForWindow("^Backdropper$"));
  EXPECT_EQ(CopiesRunning(session), 1);

  ::kill(static_cast<pid_t>(program->processId()), SIGTERM);
  EXPECT_EQ(TE2eSession::WaitForExit(program, 15000), 0);
}

TEST(Control, TheTrayMenuOpensItsDialogsAndItsCloseEndsTheProgramWithItsOptionsWritten) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  session.StartTrayHost();
  // Hiding on close must not keep the menu's "Close" from ending the program.
  session.WriteDirectoryListOptions(session.PicturesDir(), "[Main]\r\nHideOnClose=TRUE\r\n");
  QProcess* program = session.StartProgram();
  const QStringList icons = session.WaitForTrayIcons();
  ASSERT_EQ(icons.size(), 1) << "no tray icon appeared";
  const QRect tray(1180, 0, 100, 32);
  QImage wallpaper = session.WaitForWallpaper({}, 20000, tray);
  ASSERT_FALSE(wallpaper.isNull());

  // The menu takes the keyboard; "Load calendar skin" is its sixth entry, "Close" its first.
  auto shown = [&] {
    QString found;
    session.Run("xdotool", {"search", "--onlyvisible", "--class", "^Backdropper$"}, &found);
    return found.count('\n');
  };
  auto choose = [&](int entry) {
    const int before = shown();
    session.Run("xdotool", {"mousemove", "--window", icons.first(), "8", "8", "click", "3"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown() > before; }, 10000)) << "the menu opened";
    QStringList keys = {"key"};
    for (int i = 0; i < entry; ++i) keys << "Down";
    session.Run("xdotool", keys << "Return");
  };
  choose(6);
  ASSERT_TRUE(session.WaitForWindow("^Load calendar skin$", 10000));
  // A call while the modal dialog is open is still carried out.
  session.Run("dbus-send", {"--session", "--type=method_call", "--dest=org.backdropper.Backdropper",
                            "/org/backdropper/Control", "org.backdropper.Control.Next"});
  const QRect dialog(0, 0, 1280, 1024);  // wherever the dialog is, the file changes
  wallpaper = session.WaitForWallpaper(wallpaper, 20000, dialog);
  EXPECT_FALSE(wallpaper.isNull()) << "Next went through while the dialog was open";
  session.Run("xdotool", {"key", "Escape"});

  choose(1);
  EXPECT_EQ(TE2eSession::WaitForExit(program, 15000), 0);
  const TMemIniFile options = session.Options();
  EXPECT_EQ(options.ReadString("Main", "Hotkey", {}), "W") << "the options were written";
  EXPECT_EQ(options.ReadString("Main", "HideOnClose", {}), "TRUE");
}

TEST(Control, TheProgramOutlivesItsSessionBus) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  session.WriteDirectoryListOptions(session.PicturesDir());
  QProcess* program = session.StartProgram();
  QImage wallpaper = session.WaitForWallpaper();
  ASSERT_FALSE(wallpaper.isNull());

  session.StopBus();
  QThread::msleep(500);
  session.Run("xdotool", {"key", "ctrl+shift+w"});
  wallpaper = session.WaitForWallpaper(wallpaper);
  EXPECT_FALSE(wallpaper.isNull()) << "the hot keys still step the pictures";

  // A command that cannot arrive is not passed off as done.
  QProcess second;
  second.setProcessEnvironment(session.Environment());
  second.start(session.ProgramPath(), {"Next"});
  ASSERT_TRUE(second.waitForFinished(15000));
  EXPECT_EQ(second.exitCode(), 1);
  const QString said = QString::fromLocal8Bit(second.readAllStandardError());
  EXPECT_TRUE(said.contains("did not take \"Next\"")) << said.toStdString();

  ASSERT_EQ(program->state(), QProcess::Running);
  ::kill(static_cast<pid_t>(program->processId()), SIGTERM);
  EXPECT_EQ(TE2eSession::WaitForExit(program, 15000), 0);
  EXPECT_EQ(session.Options().ReadString("Main", "Hotkey", {}), "W") << "the options were written";
}
