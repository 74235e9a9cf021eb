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

namespace {

// Logs its arguments and keeps the picture it is given, which the program reads back.
const char StandIn[] = R"SH(#!/bin/sh
echo "$*" >> "$STANDIN_LOG"
case "$1 $3" in
  "set picture-filename") printf '%s' "$4" > "$STANDIN_LOG.held" ;;
  "get picture-filename") echo "'$(cat "$STANDIN_LOG.held")'" ;;
esac
)SH";

// The pictures handed to the desktop (gsettings also answers other questions).
int Calls(const QString& log) {
  QFile file(log);
  if (!file.open(QIODevice::ReadOnly)) return 0;
  return static_cast<int>(file.readAll().count("set org.mate.background picture-filename"));
}

}  // namespace

TEST(ColorDrag, DroppingAPanelsColourOnAnotherRedrawsTheWallpaperOnce) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  ASSERT_TRUE(session.AddStandInTool("gsettings", StandIn));
  const QString log = session.Root() + "/gsettings.log";
  session.SetVariable("STANDIN_LOG", log);
  session.SetVariable("XDG_CURRENT_DESKTOP", "MATE");

  const QString folder = session.Root() + "/plain";
  QDir().mkpath(folder);
  QImage picture(1280, 1024, QImage::Format_RGB32);
  picture.fill(qRgb(60, 90, 120));
  ASSERT_TRUE(picture.save(folder + "/plain.png"));
  // The picture is current and was changed just now, the calendar is shown with its default
  // skin: nothing is applied until asked.
  QFile options(session.ProgramDir() + "/Backdropper.ini");
  ASSERT_TRUE(options.open(QIODevice::WriteOnly | QIODevice::Truncate));
  options.write(QStringLiteral("[Main]\r\nAutorun=FALSE\r\n[Wallpaper]\r\nIsAutoChange=TRUE\r\n"
                               "LastFileTitle=%1/plain.png\r\nLastAutoChangeTime=%2\r\n"
                               "[Calendar]\r\nShow=TRUE\r\nRectLeft=0.1\r\nRectTop=0.1\r\n"
                               "[BroadcastWallpaperChange]\r\nIsAutoChange=FALSE\r\n"
                               "[DirectoryList]\r\nCount=1\r\nTitle0=%1\r\nActive0=TRUE\r\n"
                               "Recurs0=FALSE\r\n")
                    .arg(folder)
                    .arg(Now(), 0, 'f', 8)
                    .toUtf8());
  options.close();

  QProcess* program = session.StartProgram({"ShowOnStart"});
  TProgramWindow window(session);
  ASSERT_TRUE(window.Find());
  window.Click(&TMainForm::Label4);  // "Redraw wallpaper": the picture as it is now
  ASSERT_TRUE(WaitUntil([&] { return Calls(log) == 1; }));
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
  EXPECT_TRUE(WaitUntil([&] { return Calls(log) == 2; })) << Calls(log) << " hand-offs";
  QThread::msleep(1500);
  EXPECT_EQ(Calls(log), 2) << "one redraw for the drop";

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
