// The real program applying the wallpaper of a plain X11 session, and broadcasting, under Xvfb
// with a session bus of its own: "Redraw wallpaper" and "Broadcast wallpaper change for other
// programs" clicked as a user would.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <csignal>
#include <cstdlib>

#include <xcb/xcb.h>

#include "E2eSession.h"
#include "PictureFiles.h"
#include "ProgramWindow.h"

namespace {

// The pixmap a root window property names (xprop -root NAME), 0 when there is none.
uint32_t RootPixmap(TE2eSession& session, const char* property) {
  QString out;
  session.Run("xprop", {"-root", property}, &out);
  const QRegularExpressionMatch id = QRegularExpression("pixmap id # (0x[0-9a-fA-F]+)").match(out);
  return id.hasMatch() ? id.captured(1).toUInt(nullptr, 16) : 0;
}

// Whether the X server still holds `drawable` (a freed pixmap is gone).
bool Exists(const QString& display, uint32_t drawable) {
  xcb_connection_t* x = xcb_connect(display.toLocal8Bit().constData(), nullptr);
  xcb_get_geometry_reply_t* reply =
      xcb_get_geometry_reply(x, xcb_get_geometry(x, drawable), nullptr);
  const bool exists = reply != nullptr;
  std::free(reply);
  xcb_disconnect(x);
  return exists;
}

}  // namespace

TEST(ApplyWallpaper, RootWindowShowsTheBitmapOldPixmapsAreFreedAndTheBroadcastIsHeard) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  const QString pictures = session.ProgramDir() + "/Pictures";
  WriteQuietOptions(session, pictures + "/Meadow.jpg", pictures);
  const QString bitmap =
      session.Environment().value("XDG_DATA_HOME") + "/backdropper/Backdropper_Wallpaper.bmp";

  QProcess* program = session.StartProgram({"ShowOnStart"});
  TProgramWindow window(session);
  ASSERT_TRUE(window.Find());
  QTest::qWait(1500);  // a few timer ticks: the picture was changed just now, nothing is due
  EXPECT_FALSE(QFileInfo::exists(bitmap)) << "applied without being asked";

  window.Click(&TMainForm::Label4);  // "Redraw wallpaper"
  ASSERT_TRUE(WaitUntil([&] { return RootPixmap(session, "_XROOTPMAP_ID") != 0; }))
      << "no root pixmap after Redraw wallpaper";
  const uint32_t first = RootPixmap(session, "_XROOTPMAP_ID");
  EXPECT_EQ(RootPixmap(session, "ESETROOT_PMAP_ID"), first);

  // The screen outside the program's window shows the written bitmap, pixel for pixel.
  const QImage written = QImage(bitmap).convertToFormat(QImage::Format_RGB32);
  const QImage shown = session.Screenshot().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(written.size(), QSize(1280, 1024));
  ASSERT_EQ(shown.size(), written.size());
  const QRect covered = window.Geometry();
  ASSERT_TRUE(covered.isValid());
  int compared = 0;
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < shown.width(); ++x) {
      if (covered.contains(x, y)) continue;
      ASSERT_EQ(shown.pixel(x, y), written.pixel(x, y)) << x << "," << y;
      ++compared;
    }
  EXPECT_GT(compared, 1000000);

  // Twenty applies in a row: each names a new pixmap and frees the one before, so the server's
  // pixmap memory does not grow.
  uint32_t previous = first;
  for (int round = 1; round <= 20; ++round) {
    window.Click(&TMainForm::Label4);
    ASSERT_TRUE(WaitUntil([&] {
      const uint32_t now = RootPixmap(session, "_XROOTPMAP_ID");
      return now != 0 && now != previous;
    })) << "round "
        << round;
    const uint32_t current = RootPixmap(session, "_XROOTPMAP_ID");
    EXPECT_EQ(RootPixmap(session, "ESETROOT_PMAP_ID"), current) << round;
    EXPECT_TRUE(Exists(session.DisplayName(), current)) << round;
    EXPECT_FALSE(Exists(session.DisplayName(), previous)) << "pixmap of round " << round - 1;
    previous = current;
  }

  // The broadcast, heard on the session bus.
  QProcess* monitor = session.StartProcess(
      "dbus-monitor", {"--address", session.BusAddress(), "interface='org.backdropper.Broadcast'"});
  monitor->setReadChannel(QProcess::StandardOutput);
  QByteArray heard;
  WaitUntil(
      [&] {  // until the monitor has said hello on the bus
        heard += monitor->readAllStandardOutput();
        return heard.contains("NameAcquired") || heard.contains("member=");
      },
      3000);
  window.ShowWallpaperTab(&TMainForm::BroadcastTab);
  window.Click(&TMainForm::Label6);
  EXPECT_TRUE(WaitUntil([&] {
    heard += monitor->readAllStandardOutput();
    return heard.contains(
        "path=/org/backdropper/Broadcast; interface=org.backdropper.Broadcast; "
        "member=WallpaperChange");
  })) << heard.toStdString();

  ::kill(static_cast<pid_t>(program->processId()), SIGTERM);
  EXPECT_EQ(TE2eSession::WaitForExit(program, 10000), 0);
}
