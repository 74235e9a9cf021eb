// Where everything of the month calendar goes: plain arithmetic on the date, the skin's sizes and
// the calendar area, in whole pixels of the wallpaper.
#pragma once

#include <QDate>
#include <QRect>
#include <array>

// The column of a weekday (1 Monday ... 7 Sunday): Monday 0 ... Sunday 6 when the week starts
// on Monday, else Sunday 0, Monday 1 ... Saturday 6.
int WeekdayColumn(int dayOfWeek, bool mondayFirst);
bool IsWeekend(const QDate& date);

// The month of `today` as rows of seven days: the current month starts in row `otherWeeks`, and
// that many rows of the neighbouring months come before and after it.
struct TMonthGrid {
  int FirstColumn = 0;  // the column of the 1st
  int Rows = 0;
  QDate FirstCell;  // the date in the top-left cell
};
TMonthGrid ComputeMonthGrid(const QDate& today, bool mondayFirst, int otherWeeks);

// The weekday bar's height for a weekday text size: the size times the double nearest 1.2,
// which lies just below it, truncated.
int WeekdayBarHeight(int size);

struct TCalendarMetrics {
  int YearSize = 15;
  int MonthSize = 20;
  int DayOfWeekSize = 12;
  int DaysSize = 12;
  int HorizontalMargin = 25;
  int VerticalMargin = 25;
  int YMBottomSpace = 10;
  int DOWBottomSpace = 10;
};

struct TCalendarSizes {
  int HeaderHeight = 0;
  int DayOfWeekHeight = 0;
  int HeadHeight = 0;  // header, its space, weekday bar and its space
  int CellWidth = 0;
  int RowHeight = 0;
  int Width = 0;
  int Height = 0;
};
TCalendarSizes ComputeCalendarSizes(const TCalendarMetrics& metrics, int rows);

// A length as a fraction of the calendar area's length (0 when the area is empty).
double RelativeLength(int pixels, int areaPixels);

// The calendar's place in the area: the stored fractions with the new relative size, the
// position clamped so that the calendar stays inside (or, when larger than the area, sticks out
// at the left or top, by the same amount at every paint), and its origin in pixels.
struct TCalendarPlacement {
  double RectLeft = 0;
  double RectTop = 0;
  double RectWidth = 0;
  double RectHeight = 0;
  int X = 0;
  int Y = 0;
};
// False, and `placement` untouched, when the area has no width or height.
bool PlaceCalendar(const QRect& area, int width, int height, double rectLeft, double rectTop,
                   TCalendarPlacement& placement);

// The ellipse's rectangle around `calendar`: its diagonal high (rounded up), `eccentricity`
// percent of that wide, centred on the calendar.
QRect OvalRect(const QRect& calendar, int eccentricity);

// The eight gradient stops: 0, then each band thickness (percent) added on, each capped at 1 as
// it is formed, then 1.
std::array<float, 8> BandStops(const std::array<int, 6>& thicknesses);

// The gradient's centre at the shifts (percent) of the back rectangle, truncated toward zero.
QPoint GradientCenter(const QRect& back, int horizontalShift, int verticalShift);

enum class TDayGroup { CurrentWeekday, CurrentWeekend, OtherWeekday, OtherWeekend };
TDayGroup DayGroup(const QDate& day, const QDate& today);

// Everything the painting needs, for one date, skin and area.
struct TCalendarLayoutInput {
  QDate Today;
  bool MondayFirst = true;
  int OtherWeeks = 1;
  TCalendarMetrics Metrics;
  int SeparatorThickness = 2;
  bool Oval = false;
  int Eccentricity = 100;
  QRect Area;
  double RectLeft = 0.7;
  double RectTop = 0.15;
};

struct TCalendarLayout {
  TMonthGrid Grid;
  TCalendarSizes Sizes;
  TCalendarPlacement Placement;
  QRect Calendar;  // x, y, width, height
  QRect Back;      // the oval's rectangle, or the calendar's
  QRect Header;    // year (right) and month (left)
  QRect Separator;
  int WeekdayTop = 0;

  QRect WeekdayRect(int column) const;
  QRect CellRect(int row, int column) const;
  QDate CellDate(int row, int column) const;
};
// False when the area is empty: nothing is painted and the stored rectangle stays.
bool ComputeCalendarLayout(const TCalendarLayoutInput& input, TCalendarLayout& layout);
