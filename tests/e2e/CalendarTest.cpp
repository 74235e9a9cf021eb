// The real program painting the calendar on the root window's wallpaper under Xvfb at
// 1280 x 1024: the default skin on a plain picture, where the layout puts it for today, and the
// costliest skin. Both screenshots are kept in the build folder's "screenshots".
#include <gtest/gtest.h>

#include <QDate>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QThread>
#include <csignal>

#include "Calendar/CalendarPainter.h"
#include "E2eSession.h"

namespace {

constexpr QRgb Plain = 0xFF3C5A78u;

// Options whose first tick changes to the only picture, a plain one, with the calendar shown.
void WritePlainPictureOptions(TE2eSession& session, const QByteArray& skin = {}) {
  const QString folder = session.Root() + "/plain";
  QDir().mkpath(folder);
  QImage picture(1280, 1024, QImage::Format_RGB32);
  picture.fill(Plain);
  ASSERT_TRUE(picture.save(folder + "/plain.png"));
  QFile file(session.ProgramDir() + "/Backdropper.ini");
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(
      "[Main]\r\nAutorun=FALSE\r\n[Wallpaper]\r\nIsAutoChange=TRUE\r\nLastAutoChangeTime=0\r\n"
      "[Calendar]\r\nShow=TRUE\r\n[DirectoryList]\r\nCount=1\r\nTitle0=" +
      QFile::encodeName(folder) + "\r\nActive0=TRUE\r\nRecurs0=FALSE\r\n" + skin);
}

// Pixel for pixel (a screenshot's colour space and metadata may differ from the file's).
bool SamePixels(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return false;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y)) return false;
  return true;
}

// Waits until the root window shows a written wallpaper; returns that screenshot.
QImage WaitForWallpaper(TE2eSession& session) {
  const QString file =
      session.Environment().value("XDG_DATA_HOME") + "/backdropper/Backdropper_Wallpaper.bmp";
  QDeadlineTimer deadline(30000);
  while (!deadline.hasExpired()) {
    const QImage written = QImage(file).convertToFormat(QImage::Format_RGB32);
    if (!written.isNull()) {
      const QImage shown = session.Screenshot().convertToFormat(QImage::Format_RGB32);
      if (SamePixels(shown, written)) return shown;
    }
    QThread::msleep(200);
  }
  return {};
}

void Keep(const QImage& screenshot, const QString& name) {
  const QString dir = QFileInfo(QStringLiteral(BACKDROPPER_BINARY)).absolutePath() + "/screenshots";
  QDir().mkpath(dir);
  screenshot.save(dir + "/" + name);
}

void Stop(QProcess* program) {
  ::kill(static_cast<pid_t>(program->processId()), SIGTERM);
  EXPECT_EQ(TE2eSession::WaitForExit(program, 15000), 0);
}

// The layout for today in the whole screen less the default desktop margin of 20.
TCalendarLayout TodaysLayout(const TCalendarSkinValues& skin) {
  TCalendarScene scene;
  scene.Today = QDate::currentDate();
  scene.Area = QRect(20, 20, 1240, 984);
  TCalendarLayout layout;
  EXPECT_TRUE(ComputeCalendarLayout(CalendarLayoutInput(skin, scene), layout));
  return layout;
}

// Channel-wise source-over of `colour` at `alpha` on `under`.
QRgb Over(QRgb under, QRgb colour, int alpha) {
  auto mix = [alpha](int a, int b) { return (a * (255 - alpha) + b * alpha + 127) / 255; };
  return qRgb(mix(qRed(under), qRed(colour)), mix(qGreen(under), qGreen(colour)),
              mix(qBlue(under), qBlue(colour)));
}

void ExpectNear(QRgb actual, QRgb expected, const char* what) {
  EXPECT_LE(std::abs(qRed(actual) - qRed(expected)), 2) << what;
  EXPECT_LE(std::abs(qGreen(actual) - qGreen(expected)), 2) << what;
  EXPECT_LE(std::abs(qBlue(actual) - qBlue(expected)), 2) << what;
}

}  // namespace

TEST(Calendar, DefaultSkinOnAPlainPictureAtItsPlaceWithTodayMarked) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  WritePlainPictureOptions(session);
  QProcess* program = session.StartProgram();  // hidden: the whole root window is visible
  const QImage shown = WaitForWallpaper(session);
  ASSERT_FALSE(shown.isNull()) << "no wallpaper on the root window";
  Keep(shown, "calendar-default.png");
  ASSERT_EQ(shown.size(), QSize(1280, 1024));

  const TCalendarLayout layout = TodaysLayout(TCalendarSkinValues{});
  // Nothing of the picture changed outside the calendar and its one-pixel outline.
  const QRect calendar = layout.Calendar.adjusted(0, 0, 1, 1);
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < shown.width(); ++x)
      if (!calendar.contains(x, y)) {
        ASSERT_EQ(shown.pixel(x, y), Plain) << x << "," << y;
      }
  // Its outline at the layout's corners, the simple background inside.
  EXPECT_EQ(shown.pixel(calendar.topLeft()), qRgb(50, 50, 50));
  EXPECT_EQ(shown.pixel(calendar.bottomRight()), qRgb(50, 50, 50));
  const QRgb back = Over(Plain, qRgb(50, 60, 180), 77);
  ExpectNear(shown.pixel(layout.Calendar.topLeft() + QPoint(5, 5)), back, "background");
  ExpectNear(shown.pixel(layout.Calendar.bottomRight() - QPoint(5, 5)), back, "background");

  // Today's cell: framed in black, filled with the today colour at 30 % translucency.
  QPoint today(-1, -1);
  for (int row = 0; row < layout.Grid.Rows; ++row)
    for (int column = 0; column < 7; ++column)
      if (layout.CellDate(row, column) == QDate::currentDate()) today = QPoint(column, row);
  ASSERT_NE(today, QPoint(-1, -1));
  const QRect cell = layout.CellRect(today.y(), today.x());
  for (const QPoint corner : {cell.topLeft(), cell.topLeft() + QPoint(cell.width(), 0),
                              cell.topLeft() + QPoint(0, cell.height()),
                              cell.topLeft() + QPoint(cell.width(), cell.height())})
    EXPECT_EQ(shown.pixel(corner), qRgb(0, 0, 0)) << corner.x() << "," << corner.y();
  ExpectNear(shown.pixel(cell.topLeft() + QPoint(2, 2)), Over(back, qRgb(185, 110, 25), 179),
             "today's fill");
  // Another cell of the same row has no box.
  const QRect other = layout.CellRect(today.y(), (today.x() + 3) % 7);
  ExpectNear(shown.pixel(other.topLeft() + QPoint(2, 2)), back, "another day");
  Stop(program);
}

TEST(Calendar, CostliestSkinPaintsItsOvalInsideTheScreen) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  WritePlainPictureOptions(
      session,
      "[CalendarSkin]\r\nTextEffect=Outline\r\nSimpleBack=FALSE\r\nOvalBack=TRUE\r\n"
      "OvalBackEccentricity=150\r\nCalendarOtherMonthsWeeks=4\r\n"
      "HorizontalCenterFocus=30\r\nVerticalCenterFocus=10\r\n");
  QProcess* program = session.StartProgram();
  const QImage shown = WaitForWallpaper(session);
  ASSERT_FALSE(shown.isNull()) << "no wallpaper on the root window";
  Keep(shown, "calendar-costliest.png");

  TCalendarSkinValues skin;
  skin.SimpleBack = false;
  skin.OvalBack = true;
  skin.OvalBackEccentricity = 150;
  skin.OtherMonthsWeeks = 4;
  const TCalendarLayout layout = TodaysLayout(skin);
  const QRect oval = layout.Back.adjusted(0, 0, 1, 1);
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < shown.width(); ++x)
      if (!oval.contains(x, y)) {
        ASSERT_EQ(shown.pixel(x, y), Plain) << x << "," << y;
      }
  // The oval's corners stay, its centre holds the gradient's centre colour at 50 %.
  EXPECT_EQ(shown.pixel(layout.Back.topLeft() + QPoint(3, 3)), Plain);
  EXPECT_NE(shown.pixel(layout.Back.center()), Plain);
  Stop(program);
}
