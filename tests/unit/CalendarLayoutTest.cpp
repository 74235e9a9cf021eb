// The calendar's layout as plain arithmetic: month grids, sizes, placement, the oval and the
// gradient stops, on the edge cases that can break.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "Calendar/CalendarLayout.h"
#include "QtPrinters.h"

TEST(CalendarLayout, MonthGridsAndTodaysCell) {
  struct {
    QDate Today;
    bool MondayFirst;
    int Weeks;
    int FirstColumn;
    int Rows;
    QDate FirstCell;
    int TodayColumn;
  } const cases[] = {
      // February of a common year starting on a Monday: four rows.
      {QDate(2021, 2, 15), true, 0, 0, 4, QDate(2021, 2, 1), 0},
      // ...and with four weeks of other months on each side: twelve.
      {QDate(2021, 2, 28), true, 4, 0, 12, QDate(2021, 1, 4), 6},
      // A 31-day month whose 1st is a Sunday, in the last column: six rows.
      {QDate(2020, 3, 10), true, 0, 6, 6, QDate(2020, 2, 24), 1},
      {QDate(2020, 3, 31), true, 4, 6, 14, QDate(2020, 1, 27), 1},
      // Sunday first and today a Sunday: today is in column 0.
      {QDate(2024, 5, 19), false, 1, 3, 7, QDate(2024, 4, 21), 0},
      {QDate(2024, 5, 19), true, 1, 2, 7, QDate(2024, 4, 22), 6},
      // The 1st itself; a leap February starting on a Sunday, Sunday first.
      {QDate(2026, 12, 1), true, 1, 1, 7, QDate(2026, 11, 23), 1},
      {QDate(2032, 2, 29), false, 0, 0, 5, QDate(2032, 2, 1), 0},
  };
  for (const auto& c : cases) {
    const TMonthGrid grid = ComputeMonthGrid(c.Today, c.MondayFirst, c.Weeks);
    SCOPED_TRACE(c.Today.toString(Qt::ISODate).toStdString() + (c.MondayFirst ? " Mon" : " Sun"));
    EXPECT_EQ(grid.FirstColumn, c.FirstColumn);
    EXPECT_EQ(grid.Rows, c.Rows);
    EXPECT_EQ(grid.FirstCell, c.FirstCell);
    EXPECT_EQ(WeekdayColumn(grid.FirstCell.dayOfWeek(), c.MondayFirst), 0);
    // Today's cell: the current month starts in row `Weeks`.
    const int index = c.Weeks * 7 + grid.FirstColumn + c.Today.day() - 1;
    EXPECT_EQ(grid.FirstCell.addDays(index), c.Today);
    EXPECT_EQ(index % 7, c.TodayColumn);
    // The last row holds the last `Weeks` weeks after the month's last day.
    const QDate last(c.Today.year(), c.Today.month(), c.Today.daysInMonth());
    EXPECT_EQ(grid.FirstCell.daysTo(last) / 7, grid.Rows - 1 - c.Weeks);
  }
}

TEST(CalendarLayout, WeekdayBarHeightIsOneLessWhereTheSizeTimesOnePointTwoIsWhole) {
  const int expected[][2] = {{8, 9},   {9, 10},  {10, 11}, {11, 13}, {12, 14}, {13, 15}, {14, 16},
                             {15, 17}, {16, 19}, {17, 20}, {18, 21}, {19, 22}, {20, 23}, {21, 25},
                             {22, 26}, {23, 27}, {24, 28}, {25, 29}, {26, 31}, {27, 32}, {28, 33},
                             {29, 34}, {30, 35}, {32, 38}, {35, 41}, {38, 45}, {40, 47}, {0, 0}};
  for (const auto& [size, height] : expected) EXPECT_EQ(WeekdayBarHeight(size), height) << size;
}

TEST(CalendarLayout, SizesOfTheDefaultAndTheLargestSkin) {
  const TCalendarSizes defaults = ComputeCalendarSizes(TCalendarMetrics{}, 7);
  EXPECT_EQ(defaults.HeaderHeight, 25);
  EXPECT_EQ(defaults.DayOfWeekHeight, 14);
  EXPECT_EQ(defaults.HeadHeight, 59);
  EXPECT_EQ(defaults.CellWidth, 36);
  EXPECT_EQ(defaults.RowHeight, 24);
  EXPECT_EQ(defaults.Width, 302);
  EXPECT_EQ(defaults.Height, 7 * 24 + 50 + 59);

  // Every size at its largest; the weekday text wider than the days sets the cell width.
  const TCalendarSizes largest = ComputeCalendarSizes({60, 55, 40, 30, 50, 50, 50, 50}, 14);
  EXPECT_EQ(largest.HeaderHeight, 75);
  EXPECT_EQ(largest.DayOfWeekHeight, 47);
  EXPECT_EQ(largest.HeadHeight, 75 + 50 + 47 + 50);
  EXPECT_EQ(largest.CellWidth, 120);
  EXPECT_EQ(largest.Width, 100 + 840);
  EXPECT_EQ(largest.Height, 14 * 60 + 100 + 222);
  // A header of sizes not divisible by four truncates: 15 x 1.25 = 18.75.
  EXPECT_EQ(ComputeCalendarSizes({15, 9, 12, 12, 0, 0, 0, 0}, 4).HeaderHeight, 18);
}

TEST(CalendarLayout, PlacementClampsTheStoredFractions) {
  const QRect screen(0, 0, 1280, 1024);
  struct {
    const char* Name;
    QRect Area;
    double Left, Top;
    double ExpectLeft, ExpectTop;
    int X, Y;
  } const cases[] = {
      {"inside", screen, 0.7, 0.15, 0.7, 0.15, 896, 153},
      {"past the right and bottom", screen, 0.9, 2.0, 1 - 302 / 1280.0, 1 - 445 / 1024.0, 978, 579},
      {"before the left and top", screen, -0.5, -1e300, 0, 0, 0, 0},
      {"not a number", screen, NAN, INFINITY, 0, 0, 0, 0},
      // 640 x 480 with a desktop margin of 200: the calendar is larger than its area and
      // sticks out to the left and top, whatever the stored place.
      {"larger than the area", QRect(200, 200, 240, 80), 0.5, 0.5, 1 - 302 / 240.0, 1 - 445 / 80.0,
       200 - 62, 200 - 365},
      {"larger, from the left and top edge", QRect(200, 200, 240, 80), 0, -0.5, 1 - 302 / 240.0,
       1 - 445 / 80.0, 200 - 62, 200 - 365},
      {"wider only", QRect(0, 0, 300, 1024), 0.7, 0.15, 1 - 302 / 300.0, 0.15, -1, 153},
      {"higher only", QRect(0, 0, 1280, 440), 0.7, 0.15, 0.7, 1 - 445 / 440.0, 896, -5},
  };
  for (const auto& c : cases) {
    TCalendarPlacement p;
    ASSERT_TRUE(PlaceCalendar(c.Area, 302, 445, c.Left, c.Top, p)) << c.Name;
    EXPECT_DOUBLE_EQ(p.RectWidth, 302.0 / c.Area.width()) << c.Name;
    EXPECT_DOUBLE_EQ(p.RectHeight, 445.0 / c.Area.height()) << c.Name;
    EXPECT_DOUBLE_EQ(p.RectLeft, c.ExpectLeft) << c.Name;
    EXPECT_DOUBLE_EQ(p.RectTop, c.ExpectTop) << c.Name;
    EXPECT_EQ(p.X, c.X) << c.Name;
    EXPECT_EQ(p.Y, c.Y) << c.Name;
    // Painting again from the stored place keeps it.
    TCalendarPlacement again;
    ASSERT_TRUE(PlaceCalendar(c.Area, 302, 445, p.RectLeft, p.RectTop, again)) << c.Name;
    EXPECT_EQ(std::tie(again.RectLeft, again.RectTop, again.X, again.Y),
              std::tie(p.RectLeft, p.RectTop, p.X, p.Y))
        << c.Name;
  }
  // No area (a margin larger than the screen, no screen): nothing is placed or divided.
  for (const QRect area :
       {QRect(), QRect(200, 200, 0, 80), QRect(QPoint(200, 200), QPoint(100, 300))}) {
    TCalendarPlacement p;
    p.RectLeft = 0.25;
    EXPECT_FALSE(PlaceCalendar(area, 302, 445, 0.7, 0.15, p));
    EXPECT_EQ(p.RectLeft, 0.25);
    EXPECT_EQ(RelativeLength(302, area.width()), 0.0);
  }
}

TEST(CalendarLayout, OvalCircumscribesTheCalendarAndWidensWithEccentricity) {
  const QRect calendar(100, 50, 302, 445);  // diagonal 537.8
  EXPECT_EQ(OvalRect(calendar, 100), QRect(100 - 118, 50 - 46, 538, 538));
  EXPECT_EQ(OvalRect(calendar, 150), QRect(100 - 252, 50 - 46, 807, 538));
  // The factor is a double (1.1 is a little more), so 100 x 1.1 rounds up to 111.
  EXPECT_EQ(OvalRect(QRect(0, 0, 60, 80), 110).width(), 111);
  EXPECT_EQ(OvalRect(QRect(0, 0, 12, 16), 115).width(), 24);
  EXPECT_EQ(OvalRect(QRect(0, 0, 12, 16), 100), QRect(-4, -2, 20, 20));
  EXPECT_EQ(OvalRect(QRect(5, 5, 0, 0), 150), QRect(5, 5, 0, 0));
}

TEST(CalendarLayout, BandStopsAreCappedAsTheyAreFormed) {
  struct {
    std::array<int, 6> Thicknesses;
    std::array<float, 8> Stops;
  } const cases[] = {
      {{2, 4, 2, 1, 20, 20}, {0, 0.02f, 0.06f, 0.08f, 0.09f, 0.29f, 0.49f, 1}},
      {{50, 60, 1, 1, 1, 1}, {0, 0.5f, 1, 1, 1, 1, 1, 1}},
      {{99, 99, 99, 99, 99, 99}, {0, 0.99f, 1, 1, 1, 1, 1, 1}},
      {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 1}},
  };
  for (const auto& c : cases) {
    const std::array<float, 8> stops = BandStops(c.Thicknesses);
    for (size_t i = 0; i < 8; ++i)
      EXPECT_NEAR(stops[i], c.Stops[i], 1e-6) << c.Thicknesses[0] << " " << i;
  }
}

TEST(CalendarLayout, GradientCentreTruncatesTowardZero) {
  EXPECT_EQ(GradientCenter(QRect(10, 20, 301, 445), 50, 50), QPoint(160, 242));
  EXPECT_EQ(GradientCenter(QRect(-100, -10, 101, 10), 33, 100), QPoint(-66, 0));
  EXPECT_EQ(GradientCenter(QRect(0, 0, 538, 538), 0, 100), QPoint(0, 538));
}

TEST(CalendarLayout, TheWholeCalendarForOneDay) {
  TCalendarLayoutInput input;
  input.Today = QDate(2024, 5, 17);  // a Friday; May starts on a Wednesday
  input.Area = QRect(20, 20, 1240, 984);
  TCalendarLayout l;
  ASSERT_TRUE(ComputeCalendarLayout(input, l));
  EXPECT_EQ(l.Grid.Rows, 7);
  EXPECT_EQ(l.Calendar, QRect(20 + 868, 20 + 147, 302, 277));
  EXPECT_EQ(l.Back, l.Calendar);
  EXPECT_EQ(l.Header, QRect(913, 192, 252, 25));
  EXPECT_EQ(l.WeekdayRect(6), QRect(913 + 216, 192 + 35, 36, 14));
  EXPECT_EQ(l.Separator, QRect(913, 192 + 35 + 14 + 5 - 1, 252, 2));
  EXPECT_EQ(l.CellRect(0, 0), QRect(913, 192 + 59, 36, 24));
  EXPECT_EQ(l.CellDate(1, 2), QDate(2024, 5, 1));
  EXPECT_EQ(l.CellDate(3, 4), input.Today);
  EXPECT_EQ(l.CellRect(6, 6).bottomRight(), l.Calendar.bottomRight() - QPoint(25, 25));
  EXPECT_EQ(DayGroup(l.CellDate(0, 0), input.Today), TDayGroup::OtherWeekday);
  EXPECT_EQ(DayGroup(l.CellDate(0, 6), input.Today), TDayGroup::OtherWeekend);
  EXPECT_EQ(DayGroup(l.CellDate(3, 4), input.Today), TDayGroup::CurrentWeekday);
  EXPECT_EQ(DayGroup(l.CellDate(3, 5), input.Today), TDayGroup::CurrentWeekend);

  input.Oval = true;
  input.Eccentricity = 120;
  ASSERT_TRUE(ComputeCalendarLayout(input, l));
  EXPECT_EQ(l.Back, OvalRect(l.Calendar, 120));
  input.Area = QRect(0, 0, -5, 10);
  EXPECT_FALSE(ComputeCalendarLayout(input, l));
}
