// The banded background's path gradient, the separator and the whole calendar, probed on small
// images.
#include <gtest/gtest.h>

#include <QImage>
#include <QLocale>
#include <QPainter>
#include <cmath>
#include <functional>

#include "Calendar/CalendarArea.h"
#include "Calendar/CalendarPainter.h"
#include "MyGDIPlus/DrawContext.h"
#include "MyGDIPlus/LinearGradient.h"
#include "MyGDIPlus/PathGradient.h"
#include "MyGDIPlus/Translucency.h"
#include "PaintProbes.h"
#include "PictureFiles.h"
#include "QtPrinters.h"

namespace {

constexpr QRgb Backdrop = 0xFF204060u;

QImage Canvas(int width, int height) {
  return SolidImage(width, height, Backdrop);
}

// Opaque stops: band i is (i * 30, 0, 0), the centre white.
TPathGradient Gradient(bool ellipse, QRect bounds, QPoint centre) {
  TPathGradient g;
  g.Ellipse = ellipse;
  g.Bounds = bounds;
  g.Center = centre;
  for (int i = 0; i < 7; ++i) g.Colors[i] = qRgb(i * 30, 0, 0);
  g.Colors[7] = qRgb(255, 255, 255);
  g.Positions = {0, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 1};
  return g;
}

}  // namespace

TEST(PathGradient, RampFromTheBoundaryToTheCentreWithFocusScales) {
  for (const bool ellipse : {false, true}) {
    TPathGradient g = Gradient(ellipse, QRect(0, 0, 200, 100), QPoint(100, 50));
    SCOPED_TRACE(ellipse ? "ellipse" : "rectangle");
    EXPECT_DOUBLE_EQ(PathGradientParameter(g, 100, 50), 1);
    EXPECT_NEAR(PathGradientParameter(g, 0, 50), 0, 1e-9);
    EXPECT_NEAR(PathGradientParameter(g, 200, 50), 0, 1e-9);
    EXPECT_NEAR(PathGradientParameter(g, 150, 50), 0.5, 1e-9);
    EXPECT_NEAR(PathGradientParameter(g, 100, 75), 0.5, 1e-9);
    EXPECT_EQ(PathGradientParameter(g, 300, 50), 0) << "outside";
    // Equal focus scales: the inner half is the centre colour, the ramp fills the outer half.
    g.FocusX = g.FocusY = 0.5;
    EXPECT_DOUBLE_EQ(PathGradientParameter(g, 140, 50), 1);
    EXPECT_NEAR(PathGradientParameter(g, 175, 50), 0.5, 1e-9);
    // Unequal: the horizontal ramp is squeezed, the vertical one is not.
    g.FocusX = 0.5;
    g.FocusY = 0;
    EXPECT_NEAR(PathGradientParameter(g, 175, 50), 0.5, 1e-3);
    EXPECT_NEAR(PathGradientParameter(g, 100, 75), 0.5, 1e-3);
    EXPECT_NEAR(PathGradientParameter(g, 140, 50), 1, 1e-3);
    g.FocusX = g.FocusY = 1;
    EXPECT_DOUBLE_EQ(PathGradientParameter(g, 190, 50), 1);
  }
  // An off-centre point: the ramp follows the ray to the nearer side.
  const TPathGradient g = Gradient(false, QRect(0, 0, 200, 100), QPoint(50, 50));
  EXPECT_NEAR(PathGradientParameter(g, 25, 50), 0.5, 1e-9);
  EXPECT_NEAR(PathGradientParameter(g, 125, 50), 0.5, 1e-9);
}

TEST(PathGradient, ACentreOnOrOutsideTheEllipseGivesANumber) {
  // Shifts 0 % and 100 % put the centre on the bounds' corners and edges: outside the ellipse
  // or on it.
  for (const QPoint centre : {QPoint(0, 0), QPoint(100, 0), QPoint(200, 100), QPoint(0, 50)}) {
    TPathGradient g = Gradient(true, QRect(0, 0, 200, 100), centre);
    for (const double focus : {0.0, 0.3}) {
      g.FocusX = focus;
      for (int y = -2; y <= 102; y += 13)
        for (int x = -2; x <= 202; x += 17) {
          const double t = PathGradientParameter(g, x, y);
          ASSERT_TRUE(t >= 0 && t <= 1)
              << centre.x() << "," << centre.y() << " at " << x << "," << y << ": " << t;
        }
    }
  }
}

TEST(PathGradient, StopsInterpolateAndEqualPositionsStep) {
  TPathGradient g = Gradient(false, QRect(0, 0, 10, 10), QPoint(5, 5));
  EXPECT_EQ(PathGradientColor(g, 0), qRgb(0, 0, 0));
  EXPECT_EQ(PathGradientColor(g, 0.05), qRgb(15, 0, 0));
  // Half way between the float stop 0.6 and 1.
  EXPECT_EQ(PathGradientColor(g, (static_cast<double>(0.6f) + 1) / 2), qRgb(218, 128, 128));
  EXPECT_EQ(PathGradientColor(g, 1), qRgb(255, 255, 255));
  // Band thicknesses 50 and 60: every later stop sits at 1, a step from band 3 to the centre.
  g.Positions = {0, 0.5f, 1, 1, 1, 1, 1, 1};
  EXPECT_EQ(PathGradientColor(g, 0.75), qRgb(45, 0, 0));
  EXPECT_EQ(PathGradientColor(g, 0.999), qRgb(60, 0, 0));
  EXPECT_EQ(PathGradientColor(g, 1), qRgb(255, 255, 255));
  // Alpha is interpolated like the other channels, before any blending.
  g.Colors[0] = qRgba(200, 0, 0, 0);
  g.Colors[1] = qRgba(200, 0, 0, 255);
  EXPECT_EQ(PathGradientColor(g, 0.25), qRgba(200, 0, 0, 128));
}

TEST(PathGradient, FillGivesBandOneAtTheEdgeAndTheCentreColourAtTheCentre) {
  const QImage before = Canvas(80, 60);
  for (const bool smooth : {false, true}) {
    const QImage rect = PaintedWith(before, [&](TDrawContext& c) {
      c.Smooth = smooth;
      FillPathGradient(c, Gradient(false, QRect(10, 10, 41, 31), QPoint(30, 25)));
    });
    EXPECT_EQ(rect.pixel(30, 25), qRgb(255, 255, 255)) << smooth;
    if (!smooth) {
      EXPECT_EQ(rect.pixel(10, 25), qRgb(0, 0, 0));
      EXPECT_EQ(ChangedBox(before, rect), QRect(10, 10, 41, 31));
    }
  }
  const QImage oval = PaintedWith(before, [](TDrawContext& c) {
    FillPathGradient(c, Gradient(true, QRect(10, 10, 40, 30), QPoint(30, 25)));
  });
  EXPECT_EQ(oval.pixel(30, 25), qRgb(255, 255, 255));
  EXPECT_LT(qRed(oval.pixel(11, 25)), 40) << "band 1 at the edge";
  EXPECT_EQ(oval.pixel(12, 12), Backdrop) << "nothing outside the ellipse";
  EXPECT_TRUE(QRect(10, 10, 41, 31).contains(ChangedBox(before, oval)));
  // Far larger than the bitmap, or empty: only the bitmap is worked on.
  const QImage huge = PaintedWith(before, [](TDrawContext& c) {
    FillPathGradient(c, Gradient(true, QRect(-200000, -100000, 400080, 200060), QPoint(40, 30)));
  });
  EXPECT_EQ(huge.pixel(40, 30), qRgb(255, 255, 255));
  EXPECT_EQ(PaintedWith(before,
                        [](TDrawContext& c) {
                          FillPathGradient(c, Gradient(true, QRect(10, 10, 0, 30), QPoint(10, 25)));
                        }),
            before);
}

TEST(LinearGradient, SeparatorRunsFromTheLeftColourAcrossItsRectangle) {
  const QImage before = Canvas(40, 10);
  const QImage line = PaintedWith(before, [](TDrawContext& c) {
    FillHorizontalGradient(c, QRect(5, 4, 20, 2), qRgb(255, 255, 255), qRgb(0, 0, 0));
  });
  EXPECT_EQ(ChangedBox(before, line), QRect(5, 4, 20, 2));
  EXPECT_EQ(line.pixel(5, 4), qRgb(255, 255, 255));
  EXPECT_EQ(line.pixel(15, 5), qRgb(128, 128, 128));
  EXPECT_EQ(line.pixel(24, 4), qRgb(13, 13, 13));
  // Translucent ends blend over the bitmap; a line partly outside is cut at its edge.
  const QImage half = PaintedWith(before, [](TDrawContext& c) {
    FillHorizontalGradient(c, QRect(-10, 9, 60, 5), ColorToArgb(0xFFFFFF, 50),
                           ColorToArgb(0xFFFFFF, 50));
  });
  EXPECT_EQ(ChangedBox(before, half), QRect(0, 9, 40, 1));
  EXPECT_NEAR(qRed(half.pixel(0, 9)), 32 + (255 - 32) * 128 / 255, 1);
}

TEST(CalendarArea, WorkAreaInPhysicalPixelsFromTheScreenCorner) {
  const QRect screen(1920, 0, 1280, 1024);
  EXPECT_EQ(CalendarAreaOf(screen, QRect(1920, 30, 1280, 994), 1, 20), QRect(20, 50, 1240, 954));
  EXPECT_EQ(CalendarAreaOf(screen, QRect(1920, 30, 1280, 994), 2, 0), QRect(0, 60, 2560, 1988));
  // 640 x 480 with a margin of 200, and a margin past the middle: nothing left to paint in.
  EXPECT_EQ(CalendarAreaOf(QRect(0, 0, 640, 480), QRect(0, 0, 640, 480), 1, 200),
            QRect(200, 200, 240, 80));
  EXPECT_LE(CalendarAreaOf(QRect(0, 0, 640, 480), QRect(0, 0, 640, 480), 1, 240).height(), 0);
  EXPECT_TRUE(CalendarAreaOf(QRect(), QRect(), 1, 0).isEmpty());
}

namespace {

struct TCalendarCase {
  TCalendarSkinValues Skin;
  TCalendarScene Scene;
  QImage Before = Canvas(640, 480);
  QImage After;
  TCalendarLayout Layout;
  bool Painted = false;

  TCalendarCase() {
    Scene.Today = QDate(2024, 5, 17);
    Scene.Area = QRect(0, 0, 640, 480);
    Scene.RectLeft = 0.5;
    Scene.RectTop = 0.2;
  }
  void Paint() {
    ComputeCalendarLayout(CalendarLayoutInput(Skin, Scene), Layout);
    TCalendarPlacement placement;
    After = PaintedWith(Before, [&](TDrawContext& c) {
      Painted = PaintMonthCalendar(c, Skin, CalendarNames(QLocale::c()), Scene, placement);
    });
  }
  QRect TodaysCell() const { return Layout.CellRect(3, 4); }
};

}  // namespace

TEST(PaintMonthCalendar, DefaultSkinPaintsInsideItsPlaceWithTodayFilledAndFramed) {
  TCalendarCase c;
  c.Paint();
  ASSERT_TRUE(c.Painted);
  EXPECT_EQ(c.Layout.CellDate(3, 4), c.Scene.Today);
  // The background's outline is the outermost: one pixel more than the calendar's size.
  EXPECT_EQ(ChangedBox(c.Before, c.After), c.Layout.Calendar.adjusted(0, 0, 1, 1));
  EXPECT_EQ(c.After.pixel(c.Layout.Calendar.topLeft()), qRgb(50, 50, 50));
  // Back 5 at 70 % over the picture, in the margin where nothing else is drawn.
  const QRgb back = c.After.pixel(c.Layout.Calendar.topLeft() + QPoint(5, 5));
  EXPECT_NEAR(qBlue(back), 0x60 + (180 - 0x60) * 77 / 255.0, 1.5);
  // Today: framed in black, filled with the today colour at 30 % over the background.
  const QRect cell = c.TodaysCell();
  for (const QPoint p : {cell.topLeft(), QPoint(cell.x() + cell.width(), cell.y() + 5),
                         QPoint(cell.x() + 5, cell.y() + cell.height())})
    EXPECT_EQ(c.After.pixel(p), qRgb(0, 0, 0)) << p.x() << "," << p.y();
  const QRgb fill = c.After.pixel(cell.topLeft() + QPoint(2, 2));
  EXPECT_NEAR(qRed(fill), qRed(back) + (185 - qRed(back)) * 179 / 255.0, 1.5);
  EXPECT_NEAR(qGreen(fill), qGreen(back) + (110 - qGreen(back)) * 179 / 255.0, 1.5);
  // Another day's cell has no box.
  EXPECT_EQ(c.After.pixel(c.Layout.CellRect(3, 3).topLeft() + QPoint(2, 2)), back);
}

TEST(PaintMonthCalendar, WithoutBackgroundOnlyTextsSeparatorAndTodaysBox) {
  TCalendarCase c;
  c.Skin.ShowBack = false;
  for (TSkinColor* days : {&c.Skin.CurrentMonthWeekdayText, &c.Skin.CurrentMonthWeekendText,
                           &c.Skin.OtherMonthsWeekdayText, &c.Skin.OtherMonthsWeekendText})
    days->Translucency = 100;
  c.Skin.TextShadow.Translucency = 100;
  c.Paint();
  EXPECT_EQ(c.After.pixel(c.Layout.Calendar.topLeft() + QPoint(5, 5)), Backdrop);
  // The day numbers are hidden, today's box stays.
  EXPECT_EQ(
      ChangedBox(c.Before.copy(c.Layout.CellRect(3, 3)), c.After.copy(c.Layout.CellRect(3, 3))),
      QRect());
  EXPECT_EQ(c.After.pixel(c.TodaysCell().topLeft()), qRgb(0, 0, 0));
  EXPECT_NE(c.After.pixel(c.Layout.Separator.topLeft()), Backdrop);
}

TEST(PaintMonthCalendar, ExtremeSkinsPaintInsideTheBitmapOrNotAtAll) {
  TCalendarCase largest;
  TCalendarSkinValues& s = largest.Skin;
  s.YearFont.Size = 60;
  s.MonthFont.Size = 60;
  s.DayOfWeekFont.Size = 40;
  s.DaysFont.Size = 40;
  s.HorizontalMargin = s.VerticalMargin = 0;
  s.YMBottomSpace = s.DOWBottomSpace = 50;
  s.OtherMonthsWeeks = 4;
  s.SimpleBack = false;
  s.OvalBack = true;
  s.OvalBackEccentricity = 150;
  s.FrameBackThick = {99, 99, 99, 99, 99, 99};
  s.HorizontalCenterShift = 100;
  s.VerticalCenterShift = 0;
  s.HorizontalCenterFocus = 100;
  s.VerticalCenterFocus = 35;
  s.DaysFont.Family = QStringLiteral("No Such Font 42");
  s.TextEffect = QStringLiteral("Sparkle");
  // 640 x 480 with a desktop margin of 200: the calendar is far larger than its area.
  largest.Scene.Area = QRect(200, 200, 240, 80);
  largest.Paint();
  ASSERT_TRUE(largest.Painted);
  EXPECT_LT(largest.Layout.Placement.RectLeft, 0);
  EXPECT_LT(largest.Layout.Calendar.x(), 200);
  EXPECT_NE(ChangedBox(largest.Before, largest.After), QRect());

  // Every translucency 100: nothing shows.
  TCalendarCase invisible;
  TCalendarSkinValues& v = invisible.Skin;
  for (TSkinColor* colour :
       {&v.TextShadow, &v.TodayMargin, &v.TodayBack, &v.FrameBriskMargin, &v.FrameCenter,
        &v.SeparatorLeft, &v.SeparatorRight, &v.YearText, &v.MonthText, &v.DayOfWeekWeekdayText,
        &v.DayOfWeekWeekendText, &v.CurrentMonthWeekdayText, &v.CurrentMonthWeekendText,
        &v.OtherMonthsWeekdayText, &v.OtherMonthsWeekendText})
    colour->Translucency = 100;
  for (TSkinColor& back : v.FrameBack) back.Translucency = 100;
  for (const bool simple : {true, false}) {
    v.SimpleBack = simple;
    invisible.Paint();
    EXPECT_TRUE(invisible.Painted);
    EXPECT_EQ(invisible.After, invisible.Before) << simple;
  }

  // No area: nothing painted, the placement untouched.
  TCalendarCase none;
  none.Scene.Area = QRect(200, 200, 240, -80);
  none.Paint();
  EXPECT_FALSE(none.Painted);
  EXPECT_EQ(none.After, none.Before);
}

// The wallpaper keeps only the rows of the reach for the painting: nothing may be painted
// outside them, whatever the skin.
TEST(PaintMonthCalendar, PaintsOnlyWithinItsReach) {
  const auto skin = [](const char* effect, int fontSize, int thickness, int margin) {
    TCalendarSkinValues s;
    s.TextEffect = QLatin1String(effect);
    s.OutlineThickness = thickness;
    for (TSkinFont* font : {&s.YearFont, &s.MonthFont, &s.DayOfWeekFont, &s.DaysFont}) {
      font->Size = fontSize;
      font->VerticalShift = -5;
    }
    s.HorizontalMargin = s.VerticalMargin = margin;
    s.YMBottomSpace = s.DOWBottomSpace = 0;
    s.OvalBack = fontSize > 30;
    return s;
  };
  const std::pair<const char*, TCalendarSkinValues> skins[] = {
      {"default", TCalendarSkinValues{}},
      {"shadow", skin("Shadow", 20, 0, 25)},
      {"outline 9, no margins", skin("Outline", 12, 9, 0)},
      {"large fonts in an oval", skin("Outline", 40, 4, 0)},
  };
  for (const auto& [name, values] : skins) {
    SCOPED_TRACE(name);
    TCalendarCase c;
    c.Skin = values;
    c.Scene.RectTop = 0.5;
    c.Paint();
    ASSERT_TRUE(c.Painted);
    const QRect changed = ChangedBox(c.Before, c.After);
    const QRect reach = CalendarReach(c.Skin, c.Scene);
    EXPECT_LE(reach.top(), changed.top());
    EXPECT_GE(reach.bottom(), changed.bottom());
  }
  TCalendarScene nowhere;
  nowhere.Today = QDate(2024, 5, 17);
  EXPECT_TRUE(CalendarReach(TCalendarSkinValues{}, nowhere).isEmpty()) << "no area";
}

TEST(CalendarNames, StandAloneMonthNamesAndShortWeekdaysFromMonday) {
  const TCalendarNames english = CalendarNames(QLocale::c());
  EXPECT_EQ(english.Months[0], "January");
  EXPECT_EQ(english.Months[11], "December");
  EXPECT_EQ(english.Weekdays[0], "Mon");
  EXPECT_EQ(english.Weekdays[6], "Sun");
  // Russian names a month in the nominative when it stands alone ("январь", not "января").
  EXPECT_EQ(CalendarNames(QLocale(QLocale::Russian, QLocale::Russia)).Months[0],
            QString::fromUtf8("\xD1\x8F\xD0\xBD\xD0\xB2\xD0\xB0\xD1\x80\xD1\x8C"));
}
