// Painting the month calendar onto the wallpaper bitmap: background, year and month, weekday
// names, separator and the day grid with today's cell.
#pragma once

#include <QDate>
#include <QRect>
#include <QString>
#include <array>

#include "Calendar/CalendarLayout.h"
#include "Calendar/CalendarSkinValues.h"

class QLocale;
struct TDrawContext;

struct TCalendarNames {
  std::array<QString, 12> Months;   // full, January first
  std::array<QString, 7> Weekdays;  // abbreviated, Monday first
};
// The locale's stand-alone names (a nominative month name in languages that have cases).
TCalendarNames CalendarNames(const QLocale& locale);

// What the painting needs besides the skin.
struct TCalendarScene {
  QDate Today;
  QRect Area;  // the calendar area, see CalendarArea
  double RectLeft = 0.7;
  double RectTop = 0.15;
};

// The layout input for a skin and scene.
TCalendarLayoutInput CalendarLayoutInput(const TCalendarSkinValues& skin,
                                         const TCalendarScene& scene);

// Where the painting may change the bitmap: the calendar and its background, with room above
// and below for texts larger than their boxes; empty when nothing is painted.
QRect CalendarReach(const TCalendarSkinValues& skin, const TCalendarScene& scene);

// Paints the calendar through `context` (smooth mode, as the context is created) and gives its
// placement. False, with nothing painted and `placement` untouched, when the area is empty.
bool PaintMonthCalendar(TDrawContext& context, const TCalendarSkinValues& skin,
                        const TCalendarNames& names, const TCalendarScene& scene,
                        TCalendarPlacement& placement);
