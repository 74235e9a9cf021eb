// Two monitors on one X screen, as RandR describes a docked laptop's: each monitor's part of the
// root window shows the picture fitted to that monitor's own size, the calendar only on the
// primary one, and the rest of the screen the fill colour; a monitor replaced by one of another
// size is covered again within seconds; "across" spans one fitting over both; "different" gives
// the monitor right of the primary the picture after the current one, and Next moves both.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <csignal>

#include "E2eSession.h"
#include "MyGDIPlus/MyGDIPlus.h"
#include "PictureFiles.h"
#include "ProgramWindow.h"

namespace {

// The program's fitting of `file` for one screen of `size`, with the options' factory values.
QImage FittedFor(const QString& file, const QSize& size) {
  TComposeParams params;
  params.ScreenWidth = size.width();
  params.ScreenHeight = size.height();
  QImage fitted;
  LoadTilePictureToBitmap(file, fitted, params);
  return fitted.convertToFormat(QImage::Format_RGB32);
}

// How many pixels of `shot`'s `region` differ from `expected` (drawn at the region's corner).
int Differing(const QImage& shot, const QRect& region, const QImage& expected) {
  int differing = 0;
  for (int y = region.top(); y <= region.bottom(); y += 7)
    for (int x = region.left(); x <= region.right(); x += 7)
      if (shot.pixel(x, y) != expected.pixel(x - region.left(), y - region.top())) ++differing;
  return differing;
}

bool AllBlack(const QImage& shot, const QRect& region) {
  for (int y = region.top(); y <= region.bottom(); y += 5)
    for (int x = region.left(); x <= region.right(); x += 5)
      if (shot.pixel(x, y) != qRgb(0, 0, 0)) return false;
  return true;
}

void WriteOptions(const TE2eSession& session, const QString& picture, const QString& folder,
                  const char* arrangement) {
  WriteSessionOptions(session, picture, folder, true,
                      QStringLiteral("[Monitors]\r\nArrangement=%1\r\n").arg(arrangement));
}

class MonitorsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Session.Ready());
    ASSERT_EQ(Session.Run("xrandr", {"--setmonitor", "L", "1920/508x1080/286+0+0", "screen"}), 0);
    ASSERT_EQ(Session.Run("xrandr", {"--setmonitor", "R", "1280/339x1024/271+1920+0", "none"}), 0);
    QDir().mkpath(Folder);
    // Every part of it differs, and its aspect is neither monitor's.
    ASSERT_TRUE(NoiseImage(1600, 1000, 5).save(Picture));
  }

  // The root window once it shows a wallpaper that differs from `before`.
  QImage WaitForRoot(const std::function<bool(const QImage&)>& done) {
    QImage shot;
    WaitUntil(
        [&] {
          shot = Session.Screenshot().convertToFormat(QImage::Format_RGB32);
          return !shot.isNull() && done(shot);
        },
        20000);
    return shot;
  }

  TE2eSession Session{"3200x1080x24"};
  QString Folder = Session.Root() + "/pictures";
  QString Picture = Folder + "/noise.png";
};

}  // namespace

TEST_F(MonitorsTest, EachMonitorShowsThePictureFittedToItsOwnSize) {
  WriteOptions(Session, Picture, Folder, "The same picture on every monitor");
  Session.StartProgram({"Next"});
  const QImage left = FittedFor(Picture, {1920, 1080});
  const QImage right = FittedFor(Picture, {1280, 1024});
  const QRect rightPlace(1920, 0, 1280, 1024);
  QImage shot = WaitForRoot([&](const QImage& s) { return Differing(s, rightPlace, right) == 0; });
  ASSERT_EQ(Differing(shot, rightPlace, right), 0) << "the right monitor's own fitting";
  // The left one: its own fitting, with the calendar painted over part of it.
  const int calendar = Differing(shot, QRect(0, 0, 1920, 1080), left);
  EXPECT_GT(calendar, 100) << "the calendar is on the primary monitor";
  EXPECT_LT(calendar, 1920 * 1080 / 49 / 4) << "and covers only a part of it";
  EXPECT_TRUE(AllBlack(shot, QRect(1920, 1024, 1280, 56))) << "below the right monitor";

  // The right monitor gives way to a smaller one: its place shows the picture fitted anew, and
  // what it no longer covers the fill colour.
  ASSERT_EQ(Session.Run("xrandr", {"--delmonitor", "R"}), 0);
  ASSERT_EQ(Session.Run("xrandr", {"--setmonitor", "S", "1024/271x768/203+1920+0", "none"}), 0);
  const QImage small = FittedFor(Picture, {1024, 768});
  const QRect smallPlace(1920, 0, 1024, 768);
  shot = WaitForRoot([&](const QImage& s) { return Differing(s, smallPlace, small) == 0; });
  EXPECT_EQ(Differing(shot, smallPlace, small), 0);
  EXPECT_TRUE(AllBlack(shot, QRect(1920, 768, 1280, 312)));
  EXPECT_TRUE(AllBlack(shot, QRect(2944, 0, 256, 1080))) << "beyond every monitor";
}

TEST_F(MonitorsTest, AcrossSpansOneFittingOverBothMonitors) {
  WriteOptions(Session, Picture, Folder, "One picture across all monitors");
  Session.StartProgram({"Next"});
  const QImage across = FittedFor(Picture, {3200, 1080});
  const QRect rightPlace(1920, 0, 1280, 1024);
  const QImage shot = WaitForRoot(
      [&](const QImage& s) { return Differing(s, rightPlace, across.copy(rightPlace)) == 0; });
  // The right monitor shows the right part of the one fitting, continuing the left's edge.
  EXPECT_EQ(Differing(shot, rightPlace, across.copy(rightPlace)), 0);
  EXPECT_EQ(Differing(shot, QRect(1800, 600, 120, 400), across.copy(1800, 600, 120, 400)), 0);
}

TEST_F(MonitorsTest, DifferentPicturesFollowNextInListOrder) {
  // Three pictures; the monitors show two neighbours of the list.
  QStringList names;
  for (const char* name : {"a.png", "b.png", "c.png"}) {
    ASSERT_TRUE(
        NoiseImage(1600, 1000, static_cast<quint32>(names.size() + 11)).save(Folder + "/" + name));
    names << Folder + "/" + name;
  }
  QFile::remove(Picture);
  WriteOptions(Session, names[0], Folder, "A different picture on each monitor");
  Session.StartProgram({"ShowOnStart"});
  const QRect leftPlace(0, 0, 1920, 1080), rightPlace(1920, 0, 1280, 1024);
  // Which picture a monitor shows: the left one has the calendar on part of it.
  const auto shown = [&](const QImage& shot, const QRect& place) {
    for (int i = 0; i < names.size(); ++i)
      if (Differing(shot, place, FittedFor(names[i], place.size())) < 1920 * 1080 / 49 / 4)
        return i;
    return -1;
  };
  int left = -1;
  for (int step = 0; step < 3; ++step) {
    ASSERT_EQ(Session.Run("dbus-send",
                          {"--session", "--type=method_call", "--dest=org.backdropper.Backdropper",
                           "/org/backdropper/Control", "org.backdropper.Control.Next"}),
              0);
    const int before = left;
    QImage shot = WaitForRoot([&](const QImage& s) {
      const int now = shown(s, leftPlace);
      return now >= 0 && now != before && shown(s, rightPlace) >= 0;
    });
    left = shown(shot, leftPlace);
    ASSERT_GE(left, 0) << "step " << step;
    if (before >= 0) EXPECT_EQ(left, (before + 1) % 3) << "Next moves the primary one step";
    EXPECT_EQ(shown(shot, rightPlace), (left + 1) % 3) << "the right monitor shows the next one";
  }
}

// On a monitor of scale 2 (a 4K panel at 200 %) the skin's sizes are device-independent pixels:
// the calendar is painted twice as large as at scale 1, on a picture still fitted to every
// physical pixel.
TEST(MonitorScale, TheCalendarIsPaintedAtTheMonitorsScale) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  const QString folder = session.Root() + "/pictures";
  QDir().mkpath(folder);
  const QString picture = folder + "/noise.png";
  ASSERT_TRUE(NoiseImage(1600, 1000, 9).save(picture));
  const QImage plain = FittedFor(picture, {1280, 1024});
  QList<QRect> boxes;
  for (const char* scale : {"1", "2"}) {
    SCOPED_TRACE(scale);
    session.SetVariable("QT_SCALE_FACTOR", scale);
    QFile::remove(session.WallpaperFile());
    WriteOptions(session, picture, folder, "The same picture on every monitor");
    QProcess* program = session.StartProgram({"Next"});
    const QImage wallpaper = session.WaitForWallpaper();
    ASSERT_EQ(wallpaper.size(), QSize(1280, 1024)) << "fitted to the physical pixels";
    QRect box;
    const QImage pixels = wallpaper.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < 1024; ++y)
      for (int x = 0; x < 1280; ++x)
        if (pixels.pixel(x, y) != plain.pixel(x, y)) box |= QRect(x, y, 1, 1);
    boxes << box;
    ::kill(static_cast<pid_t>(program->processId()), SIGTERM);
    ASSERT_EQ(TE2eSession::WaitForExit(program, 10000), 0);
  }
  ASSERT_FALSE(boxes[0].isEmpty());
  EXPECT_NEAR(boxes[1].width(), 2.0 * boxes[0].width(), 0.1 * boxes[0].width());
  EXPECT_NEAR(boxes[1].height(), 2.0 * boxes[0].height(), 0.1 * boxes[0].height());
}

// Twenty monitor changes within a second (a dock being plugged in) give one composition, for
// the monitors as they are at the end.
TEST_F(MonitorsTest, ABurstOfMonitorChangesComposesOnce) {
  const QString log = UseKeepingGsettings(Session);
  ASSERT_FALSE(log.isEmpty());
  const auto handed = [&] { return HandedPictures(log); };
  WriteOptions(Session, Picture, Folder, "The same picture on every monitor");
  Session.StartProgram({"Next"});
  ASSERT_TRUE(WaitUntil([&] { return handed() == 1; }, 20000));
  for (int i = 0; i < 10; ++i) {
    Session.Run("xrandr", {"--delmonitor", "R"});
    Session.Run("xrandr", {"--setmonitor", "R",
                           i < 9 ? "1280/339x1024/271+1920+0" : "1024/271x768/203+1920+0", "none"});
  }
  EXPECT_TRUE(WaitUntil([&] { return handed() == 2; }, 10000));
  QTest::qWait(3000);
  EXPECT_EQ(handed(), 2) << "one composition for the whole burst";
  EXPECT_EQ(QImage(Session.WallpaperFile()).size(), QSize(2944, 1080)) << "for the last monitors";
}
