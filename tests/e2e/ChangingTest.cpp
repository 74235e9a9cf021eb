// The real program changing the real root window's wallpaper: by itself at its first tick, and
// when "Next" is pressed after the current picture vanished.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QThread>
#include <csignal>

#include "E2eSession.h"
#include "StoredTextList/MemIniFile.h"

namespace {

QString WallpaperFile(TE2eSession& session) {
  return session.Environment().value("XDG_DATA_HOME") + "/backdropper/Backdropper_Wallpaper.bmp";
}

TMemIniFile ReadOptions(TE2eSession& session) {
  TMemIniFile ini;
  QFile file(session.ProgramDir() + "/Backdropper.ini");
  if (file.open(QIODevice::ReadOnly)) ini.Parse(file.readAll());
  return ini;
}

void WriteOptions(TE2eSession& session, const QByteArray& extra = {}) {
  QFile file(session.ProgramDir() + "/Backdropper.ini");
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write("[DirectoryList]\r\nCount=1\r\nTitle0=" +
             QFile::encodeName(session.ProgramDir() + "/Pictures") +
             "\r\nActive0=TRUE\r\nRecurs0=FALSE\r\n\r\n" + extra);
}

// The root window shows `wallpaper` wherever no window covers it (checked on a grid of points).
bool RootShows(TE2eSession& session, const QImage& wallpaper, const QRect& covered = {}) {
  const QImage root = session.Screenshot();
  if (root.isNull() || wallpaper.isNull() || root.size() != wallpaper.size()) return false;
  for (int y = 5; y < root.height(); y += 97)
    for (int x = 5; x < root.width(); x += 89)
      if (!covered.contains(x, y) && root.pixel(x, y) != wallpaper.pixel(x, y)) return false;
  return true;
}

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
  WriteOptions(session);
  QElapsedTimer clock;
  clock.start();
  QProcess* program = session.StartProgram();  // hidden: the whole root window is visible

  QDeadlineTimer deadline(20000);
  QImage wallpaper;
  while (!deadline.hasExpired()) {
    wallpaper = QImage(WallpaperFile(session));
    if (!wallpaper.isNull() && RootShows(session, wallpaper)) break;
    QThread::msleep(100);
  }
  ASSERT_TRUE(RootShows(session, wallpaper)) << "the root window shows the composed picture";
  RecordProperty("SecondsToFirstWallpaper", static_cast<int>(clock.elapsed() / 1000));
  QString pixmap;
  session.Run("xprop", {"-root", "_XROOTPMAP_ID"}, &pixmap);
  EXPECT_TRUE(pixmap.contains("pixmap id # 0x")) << pixmap.toStdString();

  Stop(program);
  const TMemIniFile options = ReadOptions(session);
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
  WriteOptions(session, "[Wallpaper]\r\nLastFileTitle=" + QFile::encodeName(first) +
                            "\r\nLastAutoChangeTime=" + QByteArray::number(NowAsDays(), 'f', 10) +
                            "\r\n\r\n");
  QProcess* program = session.StartProgram({"ShowOnStart"});
  ASSERT_TRUE(session.WaitForWindow("^Backdropper$", 20000));
  const QString window = session.FindWindows("^Backdropper$").first();

  ASSERT_TRUE(QFile::remove(first));
  ASSERT_TRUE(QFile::remove(second));
  // "Next" on the Wallpaper page's General tab, shown first.
  session.Run("xdotool", {"mousemove", "--window", window, "28", "180", "click", "1"});
  // The file is written before the root window is given it: wait for both.
  const QRect covered(340, 100, 500, 420);  // the program's window
  QDeadlineTimer deadline(20000);
  QImage wallpaper;
  while (!deadline.hasExpired()) {
    wallpaper = QImage(WallpaperFile(session));
    if (!wallpaper.isNull() && RootShows(session, wallpaper, covered)) break;
    QThread::msleep(100);
  }
  ASSERT_FALSE(wallpaper.isNull());
  EXPECT_TRUE(RootShows(session, wallpaper, covered));

  Stop(program);
  EXPECT_EQ(ReadOptions(session).ReadString("Wallpaper", "LastFileTitle", {}), third);
}
