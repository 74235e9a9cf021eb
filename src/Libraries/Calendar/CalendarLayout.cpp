#include "Calendar/CalendarLayout.h"

#include <algorithm>
#include <cmath>

namespace {

int Half(int value) {
  return value / 2;  // truncates toward zero
}

// A calendar larger than the area (`high` below `low`) always gets the negative fraction, so
// that painting again from the stored place keeps that place.
double Clamp(double value, double low, double high) {
  if (high < low) return high;
  if (value < low) return low;
  if (value > high) return high;
  return value;
}

int Truncate(double value) {
  const double limit = 1e9;
  return static_cast<int>(std::trunc(std::clamp(value, -limit, limit)));
}

}  // namespace

int WeekdayColumn(int dayOfWeek, bool mondayFirst) {
  return mondayFirst ? dayOfWeek - 1 : dayOfWeek % 7;
}

bool IsWeekend(const QDate& date) {
  return date.dayOfWeek() >= 6;
}

TMonthGrid ComputeMonthGrid(const QDate& today, bool mondayFirst, int otherWeeks) {
  TMonthGrid grid;
  if (!today.isValid()) return grid;
  const int weeks = std::clamp(otherWeeks, 0, 4);
  const int day = today.day();
  const int column = WeekdayColumn(today.dayOfWeek(), mondayFirst);
  grid.FirstColumn = (column - (day - 1) % 7 + 7) % 7;
  grid.Rows = (today.daysInMonth() + grid.FirstColumn + 6) / 7 + 2 * weeks;
  grid.FirstCell = today.addDays(-(day - 1 + grid.FirstColumn + 7 * weeks));
  return grid;
}

int WeekdayBarHeight(int size) {
  // trunc(size x 1.1999999999999999556) in exact arithmetic.
  return (6 * size - 1) / 5;
}

TCalendarSizes ComputeCalendarSizes(const TCalendarMetrics& m, int rows) {
  TCalendarSizes s;
  s.HeaderHeight = static_cast<int>(std::max(m.YearSize, m.MonthSize) * 1.25);
  s.DayOfWeekHeight = WeekdayBarHeight(m.DayOfWeekSize);
  s.HeadHeight = s.HeaderHeight + m.YMBottomSpace + s.DayOfWeekHeight + m.DOWBottomSpace;
  s.CellWidth = 3 * std::max(m.DaysSize, m.DayOfWeekSize);
  s.RowHeight = 2 * m.DaysSize;
  s.Width = 2 * m.HorizontalMargin + 7 * s.CellWidth;
  s.Height = rows * s.RowHeight + 2 * m.VerticalMargin + s.HeadHeight;
  return s;
}

double RelativeLength(int pixels, int areaPixels) {
  return areaPixels > 0 ? static_cast<double>(pixels) / areaPixels : 0.0;
}

bool PlaceCalendar(const QRect& area, int width, int height, double rectLeft, double rectTop,
                   TCalendarPlacement& placement) {
  if (area.width() <= 0 || area.height() <= 0) return false;
  TCalendarPlacement p;
  p.RectWidth = RelativeLength(width, area.width());
  p.RectHeight = RelativeLength(height, area.height());
  // A fraction that is no number (a damaged options file) starts at the area's corner.
  p.RectLeft = Clamp(std::isfinite(rectLeft) ? rectLeft : 0.0, 0.0, 1.0 - p.RectWidth);
  p.RectTop = Clamp(std::isfinite(rectTop) ? rectTop : 0.0, 0.0, 1.0 - p.RectHeight);
  p.X = Truncate(area.left() + area.width() * p.RectLeft);
  p.Y = Truncate(area.top() + area.height() * p.RectTop);
  placement = p;
  return true;
}

QRect OvalRect(const QRect& calendar, int eccentricity) {
  const double w = calendar.width();
  const double h = calendar.height();
  const int diagonal = static_cast<int>(std::ceil(std::sqrt(w * w + h * h)));
  const double factor = eccentricity * 0.01;
  const double product = diagonal * factor;  // rounded to double before the ceiling
  const int width = static_cast<int>(std::ceil(product));
  return QRect(calendar.x() + Half(calendar.width() - width),
               calendar.y() + Half(calendar.height() - diagonal), width, diagonal);
}

std::array<float, 8> BandStops(const std::array<int, 6>& thicknesses) {
  std::array<float, 8> stops{};
  float position = 0.0f;
  for (size_t i = 0; i < thicknesses.size(); ++i) {
    position = std::min(1.0f, position + static_cast<float>(thicknesses[i]) / 100.0f);
    stops[i + 1] = position;
  }
  stops[7] = 1.0f;
  return stops;
}

QPoint GradientCenter(const QRect& back, int horizontalShift, int verticalShift) {
  return QPoint(Truncate(back.x() + static_cast<double>(horizontalShift) * back.width() * 0.01),
                Truncate(back.y() + static_cast<double>(verticalShift) * back.height() * 0.01));
}

TDayGroup DayGroup(const QDate& day, const QDate& today) {
  const bool current = day.year() == today.year() && day.month() == today.month();
  if (current) return IsWeekend(day) ? TDayGroup::CurrentWeekend : TDayGroup::CurrentWeekday;
  return IsWeekend(day) ? TDayGroup::OtherWeekend : TDayGroup::OtherWeekday;
}

QRect TCalendarLayout::WeekdayRect(int column) const {
  return QRect(Header.x() + column * Sizes.CellWidth, WeekdayTop, Sizes.CellWidth,
               Sizes.DayOfWeekHeight);
}

QRect TCalendarLayout::CellRect(int row, int column) const {
  return QRect(Header.x() + column * Sizes.CellWidth,
               Header.y() + Sizes.HeadHeight + row * Sizes.RowHeight, Sizes.CellWidth,
               Sizes.RowHeight);
}

QDate TCalendarLayout::CellDate(int row, int column) const {
  return Grid.FirstCell.addDays(7 * row + column);
}

bool ComputeCalendarLayout(const TCalendarLayoutInput& input, TCalendarLayout& layout) {
  TCalendarLayout l;
  l.Grid = ComputeMonthGrid(input.Today, input.MondayFirst, input.OtherWeeks);
  l.Sizes = ComputeCalendarSizes(input.Metrics, l.Grid.Rows);
  if (!PlaceCalendar(input.Area, l.Sizes.Width, l.Sizes.Height, input.RectLeft, input.RectTop,
                     l.Placement))
    return false;
  const TCalendarMetrics& m = input.Metrics;
  const int x = l.Placement.X;
  const int y = l.Placement.Y;
  l.Calendar = QRect(x, y, l.Sizes.Width, l.Sizes.Height);
  l.Back = input.Oval ? OvalRect(l.Calendar, input.Eccentricity) : l.Calendar;
  l.Header = QRect(x + m.HorizontalMargin, y + m.VerticalMargin,
                   l.Sizes.Width - 2 * m.HorizontalMargin, l.Sizes.HeaderHeight);
  l.WeekdayTop = l.Header.y() + l.Sizes.HeaderHeight + m.YMBottomSpace;
  const int t = input.SeparatorThickness;
  l.Separator = QRect(x + m.HorizontalMargin,
                      l.WeekdayTop + l.Sizes.DayOfWeekHeight + Half(m.DOWBottomSpace) - Half(t),
                      l.Sizes.Width - 2 * m.HorizontalMargin, t);
  layout = l;
  return true;
}
