// Driving the real program's main window under Xvfb: its options file, and clicks on its
// controls. Qt's widgets are not X windows of their own, so a control's place is taken from the
// same window built in the test process (offscreen, same fonts in pixel sizes, fixed size).
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLayout>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QThread>
#include <functional>

#include "E2eSession.h"
#include "LinkLabel.h"
#include "MainDialog/MainDialog.h"
#include "MyTime.h"

// An options file with the current picture `picture` of the folder `folder`, changed just now
// (so the timer does not move on) and no timed broadcast: the program applies the wallpaper only
// when told. With `calendar` the calendar is shown at 0.1, 0.1 of the work area; `extra` is put
// after the other sections.
inline void WriteSessionOptions(const TE2eSession& session, const QString& picture,
                                const QString& folder, bool calendar, const QString& extra = {}) {
  QFile file(session.ProgramDir() + QStringLiteral("/Backdropper.ini"));
  file.open(QIODevice::WriteOnly | QIODevice::Truncate);
  file.write(QStringLiteral("[Main]\r\nAutorun=FALSE\r\n"
                            "[Wallpaper]\r\nIsAutoChange=TRUE\r\nLastFileTitle=%1\r\n"
                            "LastAutoChangeTime=%2\r\n"
                            "[Calendar]\r\n%3"
                            "[BroadcastWallpaperChange]\r\nIsAutoChange=FALSE\r\n"
                            "[DirectoryList]\r\nCount=1\r\nTitle0=%4\r\nActive0=TRUE\r\n"
                            "Recurs0=FALSE\r\n%5")
                 .arg(picture)
                 .arg(Now(), 0, 'f', 8)
                 .arg(calendar ? QStringLiteral("Show=TRUE\r\nRectLeft=0.1\r\nRectTop=0.1\r\n")
                               : QStringLiteral("Show=FALSE\r\n"))
                 .arg(folder, extra)
                 .toUtf8());
}

// The same without the calendar.
inline void WriteQuietOptions(const TE2eSession& session, const QString& picture,
                              const QString& folder) {
  WriteSessionOptions(session, picture, folder, false);
}

// A stand-in gsettings for MATE: logs its arguments to $STANDIN_LOG and keeps the picture it is
// given, which the program reads back.
inline constexpr char KeepingGsettings[] = R"SH(#!/bin/sh
echo "$*" >> "$STANDIN_LOG"
case "$1 $3" in
  "set picture-filename") printf '%s' "$4" > "$STANDIN_LOG.held" ;;
  "get picture-filename") echo "'$(cat "$STANDIN_LOG.held")'" ;;
esac
)SH";

// Installs it with its log in the session's folder; returns the log's path, empty on failure.
inline QString UseKeepingGsettings(TE2eSession& session) {
  const QString log = session.Root() + QStringLiteral("/gsettings.log");
  if (!session.AddStandInTool(QStringLiteral("gsettings"), KeepingGsettings)) return {};
  session.SetVariable(QStringLiteral("STANDIN_LOG"), log);
  session.SetVariable(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("MATE"));
  return log;
}

// How many pictures the stand-in was handed (it also answers other questions).
inline int HandedPictures(const QString& log) {
  QFile file(log);
  if (!file.open(QIODevice::ReadOnly)) return 0;
  return static_cast<int>(file.readAll().count("set org.mate.background picture-filename"));
}

// Waits (serving this process's events, D-Bus calls among them) until `done` holds.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
  return QTest::qWaitFor(done, timeoutMs);
}

class TProgramWindow {
 public:
  explicit TProgramWindow(TE2eSession& session) : Session(session) {
    Map.show();
    QCoreApplication::processEvents();
  }

  // Finds the shown main window of the program; false when it does not appear.
  bool Find(int timeoutMs = 20000) {
    if (!Session.WaitForWindow(QStringLiteral("^Backdropper$"), timeoutMs)) return false;
    Window = Session.FindWindows(QStringLiteral("^Backdropper$")).value(0);
    return !Window.isEmpty();
  }

  // Clicks the middle of `control`, a member of the window, on the tab shown.
  template <class TControl>
  void Click(TControl* TMainForm::*control) {
    ClickAt(Center(Map.*control));
  }

  // Presses the left button on `from`, moves to `to` in steps and releases it there.
  template <class TFrom, class TTo>
  void Drag(TFrom* TMainForm::*from, TTo* TMainForm::*to) {
    const QPoint start = Center(Map.*from);
    const QPoint end = Center(Map.*to);
    QStringList arguments = {
        QStringLiteral("mousemove"), QStringLiteral("--window"), Window,
        QString::number(start.x()),  QString::number(start.y()), QStringLiteral("mousedown"),
        QStringLiteral("1"),         QStringLiteral("sleep"),    QStringLiteral("0.2")};
    constexpr int Steps = 8;
    for (int step = 1; step <= Steps; ++step) {
      const QPoint at = start + (end - start) * step / Steps;
      arguments << QStringLiteral("mousemove") << QStringLiteral("--window") << Window
                << QString::number(at.x()) << QString::number(at.y()) << QStringLiteral("sleep")
                << QStringLiteral("0.1");
    }
    arguments << QStringLiteral("mouseup") << QStringLiteral("1");
    Session.Run(QStringLiteral("xdotool"), arguments);
  }

  // Clicks tab `index` of `tabs`, a tab control of the window that is shown at the time.
  void ShowTab(QTabWidget* TMainForm::*tabs, int index) {
    QTabWidget* control = Map.*tabs;
    QTabBar* bar = control->tabBar();
    ClickAt(bar->mapTo(&Map, bar->tabRect(index).center()));
    control->setCurrentIndex(index);
    if (QLayout* layout = control->widget(index)->layout()) layout->activate();
    QCoreApplication::processEvents();
  }

  // Clicks the tab of the "Wallpaper" page that holds `tab`.
  void ShowWallpaperTab(QWidget* TMainForm::*tab) {
    ShowTab(&TMainForm::WallpaperPageControl, Map.WallpaperPageControl->indexOf(Map.*tab));
  }

  // The window's place on the screen.
  QRect Geometry() {
    QString out;
    Session.Run(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"), Window}, &out);
    const QStringList words = out.simplified().split(QLatin1Char(' '));
    const int at = static_cast<int>(words.indexOf(QStringLiteral("Position:")));
    const int size = static_cast<int>(words.indexOf(QStringLiteral("Geometry:")));
    if (at < 0 || size < 0) return {};
    const QStringList xy = words.value(at + 1).split(QLatin1Char(','));
    const QStringList wh = words.value(size + 1).split(QLatin1Char('x'));
    return QRect(xy.value(0).toInt(), xy.value(1).toInt(), wh.value(0).toInt(),
                 wh.value(1).toInt());
  }

  TMainForm Map;
  QString Window;

 private:
  QPoint Center(QWidget* widget) { return widget->mapTo(&Map, widget->rect().center()); }

  void ClickAt(QPoint point) {
    Session.Run(QStringLiteral("xdotool"),
                {QStringLiteral("mousemove"), QStringLiteral("--window"), Window,
                 QString::number(point.x()), QString::number(point.y()), QStringLiteral("click"),
                 QStringLiteral("1")});
  }

  TE2eSession& Session;
};
