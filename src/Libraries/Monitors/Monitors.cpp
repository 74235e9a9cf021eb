#include "Monitors/Monitors.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace {

QString CalendarName;

QRect Physical(const QRect& logical, double scale) {
  const auto scaled = [scale](int value) { return static_cast<int>(std::lround(value * scale)); };
  return QRect(scaled(logical.x()), scaled(logical.y()), scaled(logical.width()),
               scaled(logical.height()));
}

// A server without output names still gets one name for each monitor.
QString MonitorName(const QScreen* screen, qsizetype index) {
  return screen->name().isEmpty() ? QStringLiteral("Monitor %1").arg(index + 1) : screen->name();
}

}  // namespace

QList<TMonitor> ListMonitors() {
  QList<TMonitor> monitors;
  const QScreen* primary = QGuiApplication::primaryScreen();
  for (QScreen* screen : QGuiApplication::screens()) {
    const double scale = screen->devicePixelRatio() > 0 ? screen->devicePixelRatio() : 1;
    monitors << TMonitor{MonitorName(screen, monitors.size()), Physical(screen->geometry(), scale),
                         scale, screen == primary};
  }
  std::stable_sort(monitors.begin(), monitors.end(), [](const TMonitor& a, const TMonitor& b) {
    return std::pair(a.Geometry.x(), a.Geometry.y()) < std::pair(b.Geometry.x(), b.Geometry.y());
  });
  return monitors;
}

QRect WallpaperCanvas(const QList<TMonitor>& monitors) {
  QRect canvas;
  for (const TMonitor& monitor : monitors) canvas |= monitor.Geometry;
  return canvas.isEmpty() ? canvas : canvas | QRect(0, 0, 1, 1);
}

void SetCalendarMonitorName(const QString& name) {
  CalendarName = name;
}

QString CalendarMonitorName() {
  return CalendarName;
}

QScreen* CalendarScreen() {
  const QList<QScreen*> screens = QGuiApplication::screens();
  if (!CalendarName.isEmpty())
    for (qsizetype i = 0; i < screens.size(); ++i)
      if (MonitorName(screens[i], i) == CalendarName) return screens[i];
  return QGuiApplication::primaryScreen();
}

int CalendarMonitorIndex(const QList<TMonitor>& monitors) {
  int primary = monitors.isEmpty() ? -1 : 0;
  for (int i = 0; i < monitors.size(); ++i) {
    if (!CalendarName.isEmpty() && monitors[i].Name == CalendarName) return i;
    if (monitors[i].Primary) primary = i;
  }
  return primary;
}

TMonitorWatch::TMonitorWatch(int quietMs, QObject* parent) : QObject(parent) {
  Quiet.setSingleShot(true);
  Quiet.setInterval(quietMs);
  connect(&Quiet, &QTimer::timeout, this, &TMonitorWatch::Changed);
  for (QScreen* screen : QGuiApplication::screens()) Watch(screen);
  const auto changed = [this] { Quiet.start(); };
  connect(qApp, &QGuiApplication::screenAdded, this, [this, changed](QScreen* screen) {
    Watch(screen);
    changed();
  });
  connect(qApp, &QGuiApplication::screenRemoved, this, changed);
  connect(qApp, &QGuiApplication::primaryScreenChanged, this, changed);
}

void TMonitorWatch::Watch(QScreen* screen) {
  const auto changed = [this] { Quiet.start(); };
  connect(screen, &QScreen::geometryChanged, this, changed);
  connect(screen, &QScreen::availableGeometryChanged, this, changed);
  connect(screen, &QScreen::physicalDotsPerInchChanged, this, changed);
  connect(screen, &QScreen::orientationChanged, this, changed);
}
