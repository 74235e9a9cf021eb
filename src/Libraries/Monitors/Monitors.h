// The monitors of the session as the wallpaper sees them: their names, where each lies in the
// virtual desktop in physical pixels, which is the primary one, and which one the calendar is
// painted on. A monitor is known by its name, never by its place in the list.
#pragma once

#include <QList>
#include <QObject>
#include <QRect>
#include <QString>
#include <QTimer>

class QScreen;

struct TMonitor {
  QString Name;
  QRect Geometry;  // physical pixels, in the virtual desktop
  double Scale = 1;
  bool Primary = false;

  bool operator==(const TMonitor&) const = default;
};

// Qt's screens now, left to right and then top to bottom.
QList<TMonitor> ListMonitors();
// What the wallpaper covers: every monitor, and the virtual desktop's origin (the X11 root
// window's pixmap starts there).
QRect WallpaperCanvas(const QList<TMonitor>& monitors);

// The monitor the calendar is painted on: the one named in the options when it is there, else
// the primary one.
void SetCalendarMonitorName(const QString& name);
QString CalendarMonitorName();
QScreen* CalendarScreen();
// Its place in `monitors` (the primary's, or the first's without a primary); -1 when empty.
int CalendarMonitorIndex(const QList<TMonitor>& monitors);

// Watches monitors being added, removed, moved, resized, rotated or made primary, and their
// work areas; a burst of changes gives one Changed() once it has been quiet for `quietMs`.
class TMonitorWatch : public QObject {
  Q_OBJECT
 public:
  explicit TMonitorWatch(int quietMs = 1000, QObject* parent = nullptr);

 Q_SIGNALS:
  void Changed();

 private:
  void Watch(QScreen* screen);
  QTimer Quiet;
};
