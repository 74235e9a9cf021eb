// Fitting for several monitors: the canvas, each monitor's part, the area no monitor shows, and
// the monitors that cannot be served.
#include <gtest/gtest.h>

#include "Error/Error.h"
#include "Monitors/MonitorFit.h"
#include "MyGDIPlus/MyGDIPlus.h"
#include "PictureFiles.h"

namespace {

constexpr QRgb Red = qRgb(200, 0, 0);
constexpr QRgb Green = qRgb(0, 200, 0);
constexpr QRgb Fill = qRgb(0, 0, 200);

TMonitor Monitor(const char* name, const QRect& place, bool primary = false) {
  return TMonitor{name, place, 1, primary};
}

// The colour of every pixel of `region` of `canvas`, when they all have one; 0 when not.
QRgb OneColour(const QImage& canvas, const QRect& region) {
  const QRgb first = canvas.pixel(region.topLeft());
  for (int y = region.top(); y <= region.bottom(); ++y)
    for (int x = region.left(); x <= region.right(); ++x)
      if (canvas.pixel(x, y) != first) return 0;
  return first;
}

}  // namespace

TEST(MonitorFit, EachMonitorsPartAndTheAreaNoneShows) {
  // A 2:1 picture: stretched to fit each 2:1 monitor whole.
  const QString red = SavePicture(SolidImage(64, 32, Red), "red.png");
  const QString green = SavePicture(SolidImage(64, 32, Green), "green.png");
  TComposeParams params;
  params.FillColor = Fill;
  struct Case {
    const char* Name;
    QList<TMonitor> Monitors;
    TArrangement Arrangement;
    QStringList Pictures;
    QRect Canvas;                           // in the virtual desktop
    QList<std::pair<QRect, QRgb>> Regions;  // in the canvas
  };
  const QList<Case> cases = {
      {"mirrored",
       {Monitor("A", {0, 0, 40, 20}, true), Monitor("B", {0, 0, 40, 20})},
       TArrangement::Same,
       {red, red},
       {0, 0, 40, 20},
       {{{0, 0, 40, 20}, Red}}},
      {"left of the origin",
       {Monitor("A", {-40, 0, 40, 20}), Monitor("B", {0, 0, 40, 20}, true)},
       TArrangement::Same,
       {red, red},
       {-40, 0, 80, 20},
       {{{0, 0, 80, 20}, Red}}},
      {"one pixel beside a monitor",
       {Monitor("A", {0, 0, 1, 1}, true), Monitor("B", {1, 0, 40, 20})},
       TArrangement::Same,
       {red, red},
       {0, 0, 41, 20},
       // Fitted to one pixel, the 2:1 picture is half a pixel high: only the fill is left.
       {{{0, 0, 1, 20}, Fill}, {{1, 0, 40, 20}, Red}}},
      {"apart, with a gap",
       {Monitor("A", {0, 0, 40, 20}, true), Monitor("B", {50, 10, 40, 20})},
       TArrangement::Same,
       {red, red},
       {0, 0, 90, 30},
       {{{40, 0, 10, 30}, Fill}, {{0, 20, 40, 10}, Fill}, {{50, 10, 40, 20}, Red}}},
      {"different pictures",
       {Monitor("A", {0, 0, 40, 20}, true), Monitor("B", {40, 0, 40, 20})},
       TArrangement::Different,
       {red, green},
       {0, 0, 80, 20},
       {{{0, 0, 40, 20}, Red}, {{40, 0, 40, 20}, Green}}},
      {"a neighbour's picture that cannot be read gives way",
       {Monitor("A", {0, 0, 40, 20}, true), Monitor("B", {40, 0, 40, 20})},
       TArrangement::Different,
       {red, TestPicturePath("missing.png")},
       {0, 0, 80, 20},
       {{{0, 0, 80, 20}, Red}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(WallpaperCanvas(c.Monitors), c.Canvas | QRect(0, 0, 1, 1));
    QImage canvas;
    ASSERT_TRUE(FitToMonitors(c.Pictures, c.Monitors, c.Arrangement, params, canvas));
    EXPECT_FALSE(FunStatContext.Failed());
    ASSERT_EQ(canvas.size(), (c.Canvas | QRect(0, 0, 1, 1)).size());
    for (const auto& [region, colour] : c.Regions)
      EXPECT_EQ(OneColour(canvas, region), colour) << region.x() << "," << region.y();
  }
  // The calendar monitor's own picture cannot be read: no wallpaper at all.
  QImage canvas;
  EXPECT_FALSE(FitToMonitors({TestPicturePath("missing.png"), red},
                             {Monitor("A", {0, 0, 40, 20}, true), Monitor("B", {40, 0, 40, 20})},
                             TArrangement::Different, params, canvas));
  EXPECT_TRUE(canvas.isNull());
}

TEST(MonitorFit, AMonitorLargerThanAnyPanelIsRefusedAndTheOthersServed) {
  QList<TMonitor> refused;
  const QList<TMonitor> served = ServedMonitors(
      {Monitor("huge", {0, 0, 16384, 16384}), Monitor("A", {16384, 0, 1920, 1080}, true),
       Monitor("none", {0, 0, 0, 0}), Monitor("16K", {0, 0, 15360, 8640})},
      &refused);
  QStringList names;
  for (const TMonitor& monitor : served) names << monitor.Name;
  EXPECT_EQ(names, (QStringList{"A", "16K"}));
  ASSERT_EQ(refused.size(), 2);
  EXPECT_EQ(refused[0].Name, QStringLiteral("huge"));
}
