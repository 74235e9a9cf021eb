// The real program under Xvfb: a calendar colour dragged with the mouse from one colour panel to
// another changes the calendar on the wallpaper, with one hand-off to the desktop. The desktop's
// tool is a stand-in on PATH that records its calls.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QThread>
#include <csignal>

#include "ColorPanel.h"
#include "E2eSession.h"
#include "MyTime.h"
#include "ProgramWindow.h"

TEST(ColorDrag, DroppingAPanelsColourOnAnotherRedrawsTheWallpaperOnce) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  const QString log = UseKeepingGsettings(session);
  ASSERT_FALSE(log.isEmpty());

  const QString folder = session.Root() + "/plain";
  QDir().mkpath(folder);
  QImage picture(1280, 1024, QImage::Format_RGB32);
  picture.fill(qRgb(60, 90, 120));
  ASSERT_TRUE(picture.save(folder + "/plain.png"));
  // The picture is current and was changed just now, the calendar is shown with its default
  // skin: nothing is applied until asked.
  WriteSessionOptions(session, folder + "/plain.png", folder, true);

  QProcess* program = session.StartProgram({"ShowOnStart"});
  TProgramWindow window(session);
  ASSERT_TRUE(window.Find());
  window.Click(&TMainForm::Label4);  // "Redraw wallpaper": the picture as it is now
  ASSERT_TRUE(WaitUntil([&] { return HandedPictures(log) == 1; }));
  const QString wallpaperFile =
      session.Environment().value("XDG_DATA_HOME") + "/backdropper/Backdropper_Wallpaper.bmp";
  const QImage before = QImage(wallpaperFile).convertToFormat(QImage::Format_RGB32);
  ASSERT_FALSE(before.isNull());

  window.ShowTab(&TMainForm::PageControl,
                 window.Map.PageControl->indexOf(window.Map.CalendarPageControl));
  window.ShowTab(&TMainForm::CalendarPageControl,
                 window.Map.CalendarPageControl->indexOf(window.Map.CalendarBackColorsTab));
  // Back 1 (30, 30, 30) onto back 5, the fill of the simple background (50, 60, 180).
  window.Drag(&TMainForm::CalendarFrameBack1ColorPanel, &TMainForm::CalendarFrameBack5ColorPanel);
  EXPECT_TRUE(WaitUntil([&] { return HandedPictures(log) == 2; }))
      << HandedPictures(log) << " hand-offs";
  QThread::msleep(1500);
  EXPECT_EQ(HandedPictures(log), 2) << "one redraw for the drop";

  // The simple background now mixes the dragged grey into the picture instead of the blue.
  const QImage after = QImage(wallpaperFile).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(after.size(), before.size());
  int bluer = 0;
  int changed = 0;
  for (int y = 0; y < after.height(); y += 2)
    for (int x = 0; x < after.width(); x += 2) {
      if (after.pixel(x, y) == before.pixel(x, y)) continue;
      ++changed;
      if (qBlue(before.pixel(x, y)) > qBlue(after.pixel(x, y)) + 40) ++bluer;
    }
  EXPECT_GT(changed, 500);
  EXPECT_GT(bluer, changed / 2);

  ::kill(static_cast<pid_t>(program->processId()), SIGTERM);
  ASSERT_EQ(TE2eSession::WaitForExit(program, 15000), 0);
}
