// The real program changing the real root window's wallpaper: by itself at its first tick, and
// when "Next" is pressed after the current picture vanished.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <csignal>

#include "E2eSession.h"

namespace {

// Days since 30 December 1899, local time.
double NowAsDays() {
  const QDateTime now = QDateTime::currentDateTime();
  return QDate(1899, 12, 30).daysTo(now.date()) + now.time().msecsSinceStartOfDay() / 86400000.0;
}

void Stop(QProcess* program) {
  ::kill(static_cast<pid_t>(program->processId()), SIGTERM);
  ASSERT_EQ(TE2eSession::WaitForExit(program, 15000), 0);
}

}  // namespace

TEST(Changing, TheFirstTickSetsASamplePictureAndTheOptionsKeepIt) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  session.WriteDirectoryListOptions(session.PicturesDir());
  QElapsedTimer clock;
  clock.start();
  QProcess* program = session.StartProgram();  // hidden: the whole root window is visible

  ASSERT_FALSE(session.WaitForWallpaper().isNull()) << "the root window shows the composition";
  RecordProperty("SecondsToFirstWallpaper", static_cast<int>(clock.elapsed() / 1000));
  QString pixmap;
  session.Run("xprop", {"-root", "_XROOTPMAP_ID"}, &pixmap);
  EXPECT_TRUE(pixmap.contains("pixmap id # 0x")) << pixmap.toStdString();

  Stop(program);
  const TMemIniFile options = session.Options();
  const QString current = options.ReadString("Wallpaper", "LastFileTitle", {});
  EXPECT_TRUE(current.startsWith(session.ProgramDir() + "/Pictures/")) << current.toStdString();
  const double changed = options.ReadString("Wallpaper", "LastAutoChangeTime", "0").toDouble();
  EXPECT_NEAR(changed, NowAsDays(), 60.0 / 86400);
}

TEST(Changing, NextAfterTheCurrentPictureVanishedMovesOn) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  const QString first = session.ProgramDir() + "/Pictures/Deep Water.jpg";
  const QString second = session.ProgramDir() + "/Pictures/Dusk.jpg";
  const QString third = session.ProgramDir() + "/Pictures/Meadow.jpg";
  // A recent change: the timer leaves the current picture alone.
  session.WriteDirectoryListOptions(
      session.PicturesDir(),
      "[Wallpaper]\r\nLastFileTitle=" + QFile::encodeName(first) +
          "\r\nLastAutoChangeTime=" + QByteArray::number(NowAsDays(), 'f', 10) + "\r\n\r\n");
  QProcess* program = session.StartProgram({"ShowOnStart"});
  ASSERT_TRUE(session.WaitForWindow("^Backdropper$", 20000));
  const QString window = session.FindWindows("^Backdropper$").first();

  ASSERT_TRUE(QFile::remove(first));
  ASSERT_TRUE(QFile::remove(second));
  // "Next" on the Wallpaper page's General tab, shown first.
  session.Run("xdotool", {"mousemove", "--window", window, "28", "180", "click", "1"});
  const QRect covered(340, 100, 500, 420);  // the program's window
  EXPECT_FALSE(session.WaitForWallpaper({}, 20000, covered).isNull());

  Stop(program);
  EXPECT_EQ(session.Options().ReadString("Wallpaper", "LastFileTitle", {}), third);
}
