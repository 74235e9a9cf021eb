// The monitors page: how the wallpaper covers several monitors, and which one the calendar is
// painted on. The calendar monitor is kept by name, also while it is not connected, so the
// calendar goes back to it when it returns.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <algorithm>

#include "MainDialog.h"
#include "MyRandom.h"
#include "MonitorChoices.h"
#include "StoredTextList/StoredControls.h"
#include "StoredTextList/StoredTextList.h"

namespace {

const QString Section = QStringLiteral("Monitors");
const QString ArrangementKey = QStringLiteral("Arrangement");
const QString CalendarMonitorKey = QStringLiteral("CalendarMonitor");
constexpr int MaxMonitorNameLength = 200;

QString Describe(const TMonitor& monitor) {
  const QRect& place = monitor.Geometry;
  return QStringLiteral("%1: %2 x %3 at %4, %5%6")
      .arg(monitor.Name)
      .arg(place.width())
      .arg(place.height())
      .arg(place.x())
      .arg(place.y())
      .arg(monitor.Primary ? QStringLiteral(" (primary)") : QString());
}

}  // namespace

TArrangement TMainForm::Arrangement() const {
  const int index = MonitorArrangementComboBox->currentIndex();
  return index >= 0 && index < static_cast<int>(std::size(ArrangementChoices))
             ? ArrangementChoices[index].Value
             : TArrangement::Same;
}

QStringList TMainForm::MonitorPictures(const QList<TMonitor>& monitors) {
  QStringList pictures(monitors.size(), LastFileTitle);
  const auto count = static_cast<int>(PictureFileNames.size());
  if (Arrangement() != TArrangement::Different || count == 0) return pictures;
  const auto monitorCount = static_cast<int>(monitors.size());
  const int calendar = std::max(CalendarMonitorIndex(monitors), 0);
  const int current = std::max(PictureIndex, 0);
  for (int i = 0; i < monitorCount; ++i) {
    if (i == calendar) continue;
    const int step = (i - calendar + monitorCount) % monitorCount;
    pictures[i] = RandomWallpaperCheckBox->isChecked()
                      ? PictureFileNames[static_cast<int>(static_cast<quint32>(Random->Next()) %
                                                          static_cast<quint32>(count))]
                      : PictureFileNames[(current + step) % count];
  }
  return pictures;
}

void TMainForm::UpdateMonitorChoices() {
  const QList<TMonitor> monitors = ListMonitors();
  const QSignalBlocker blocker(CalendarMonitorComboBox);
  CalendarMonitorComboBox->clear();
  CalendarMonitorComboBox->addItem(PrimaryMonitorItem(), QString());
  QStringList lines;
  for (const TMonitor& monitor : monitors) {
    CalendarMonitorComboBox->addItem(monitor.Name, monitor.Name);
    lines << Describe(monitor);
  }
  if (CalendarMonitorComboBox->findData(CalendarMonitor) < 0)
    CalendarMonitorComboBox->addItem(CalendarMonitor + QStringLiteral(" (not connected)"),
                                     CalendarMonitor);
  CalendarMonitorComboBox->setCurrentIndex(
      std::max(0, CalendarMonitorComboBox->findData(CalendarMonitor)));
  MonitorsLabel->setText(lines.isEmpty() ? QStringLiteral("No monitor is connected.")
                                         : lines.join(QLatin1Char('\n')));
}

void TMainForm::CalendarMonitorComboBoxChange(int index) {
  CalendarMonitor = CalendarMonitorComboBox->itemData(index).toString();
  SetCalendarMonitorName(CalendarMonitor);
  // With a picture of its own on each monitor, the current one moves with the calendar.
  if (Arrangement() == TArrangement::Different)
    ReloadWallpaperOnParamChange();
  else
    RedrawWallpaperOnParamChange();
}

void TMainForm::ReadMonitorOptions(TStoredTextList& list) {
  ReadComboBox(list, Section, ArrangementKey, MonitorArrangementItems().first(),
               MonitorArrangementComboBox);
  QString name;
  list.ReadText(Section, CalendarMonitorKey, true, MaxMonitorNameLength, name);
  CalendarMonitor = name;
  SetCalendarMonitorName(name);
  UpdateMonitorChoices();
}

void TMainForm::WriteMonitorOptions(TStoredTextList& list) {
  WriteComboBox(list, Section, ArrangementKey, MonitorArrangementComboBox);
  list.WriteText(Section, CalendarMonitorKey, CalendarMonitor);
}
