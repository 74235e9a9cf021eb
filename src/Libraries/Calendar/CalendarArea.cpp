#include "Calendar/CalendarArea.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

#include "Monitors/Monitors.h"

QRect CalendarAreaOf(const QRect& geometry, const QRect& available, double pixelRatio, int margin) {
  if (!geometry.isValid() || !available.isValid() || !(pixelRatio > 0)) return {};
  auto physical = [pixelRatio](int logical) {
    return static_cast<int>(std::lround(logical * pixelRatio));
  };
  const int left = physical(available.x() - geometry.x());
  const int top = physical(available.y() - geometry.y());
  const int right = physical(available.x() + available.width() - geometry.x());
  const int bottom = physical(available.y() + available.height() - geometry.y());
  return QRect(left + margin, top + margin, right - left - 2 * margin, bottom - top - 2 * margin);
}

QRect CalendarArea(int margin) {
  const QScreen* screen = CalendarScreen();
  if (!screen) return {};
  // In device-independent pixels, as the skin's sizes are: on a monitor of scale 2 the calendar
  // is painted twice as large, and looks as big as on any other.
  return CalendarAreaOf(screen->geometry(), screen->availableGeometry(), 1.0, margin);
}
