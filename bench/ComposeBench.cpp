// Composing a wallpaper from a large photo, and redrawing it from the cached fitted picture.
//   ComposeBench [Google Benchmark options]
//   ComposeBench --once PICTURE WIDTH HEIGHT EFFECTS   composes once (for /usr/bin/time)
// Compose: decode, normalise and gamma (when asked), fit, then the wallpaper as the window
// writes it: the calendar painted within its reach, the bitmap file, the desktop setter (KDE).
// Redraw: the same wallpaper from the cached fitted picture, with the desktop setter
// (its commands recorded, not run), for a desktop that takes the bitmap and one that gets a PNG;
// with the default skin, and with the costliest one (banded oval background, outlined texts,
// four weeks of other months). CalendarPaint: the calendar step alone.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QGuiApplication>
#include <QLocale>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Calendar/CalendarPainter.h"
#include "MyGDIPlus/DrawContext.h"
#include "Monitors/MonitorFit.h"
#include "MyGDIPlus/MyGDIPlus.h"
#include "Platform/CommandRunner.h"
#include "RecordingRunner.h"

namespace {

const char* const Pictures[] = {
    "/usr/share/backgrounds/mate/abstract/Elephants_5640x3172.jpg",     // progressive
    "/usr/share/wallpapers/SafeLanding/contents/images/5120x2880.jpg",  // baseline
};
const char* const PictureNames[] = {"mate-5640x3172-progressive", "plasma-5120x2880-baseline"};
const QSize Screens[] = {{1920, 1080}, {3840, 2160}};
// XDG_CURRENT_DESKTOP values: KDE takes the bitmap itself, GNOME gets a PNG copy.
const char* const Desktops[] = {"KDE", "GNOME"};

TComposeParams Params(QSize screen, bool effects) {
  TComposeParams params;
  params.ScreenWidth = screen.width();
  params.ScreenHeight = screen.height();
  // Plain: the defaults. With effects: normalisation and a gamma.
  params.Normalize = effects;
  params.NormalizeMethod = QStringLiteral("Balanced scaling");
  params.NormalizeLevel = 0.5;
  params.Gamma = effects ? 120 : 100;
  return params;
}

// Banded oval background, outlined texts, four weeks of other months; `unequalFocus` adds the
// focus scales that take the slow road through the gradient.
TCalendarSkinValues CostliestSkin(bool unequalFocus) {
  TCalendarSkinValues skin;
  skin.TextEffect = QStringLiteral("Outline");
  skin.SimpleBack = false;
  skin.OvalBack = true;
  skin.OvalBackEccentricity = 150;
  skin.OtherMonthsWeeks = 4;
  if (unequalFocus) {
    skin.HorizontalCenterFocus = 30;
    skin.VerticalCenterFocus = 10;
  }
  return skin;
}

const TCalendarSkinValues Skins[] = {TCalendarSkinValues{}, CostliestSkin(false),
                                     CostliestSkin(true)};
const char* const SkinNames[] = {"default skin", "costliest skin", "costliest skin, unequal focus"};

// The calendar scene as the window paints it: a screen-sized area less a margin of 20, a month
// of six rows, the most a month has.
TCalendarScene Scene(const QSize& screen) {
  TCalendarScene scene;
  scene.Today = QDate(2026, 3, 15);
  scene.Area = QRect(20, 20, screen.width() - 40, screen.height() - 40);
  return scene;
}

// The calendar step as the window runs it: a context over the wallpaper, the locale's names.
void PaintCalendar(QPainter& painter, const TCalendarSkinValues& skin, const QSize& screen) {
  TDrawContext context(painter);
  TCalendarPlacement placement;
  PaintMonthCalendar(context, skin, CalendarNames(QLocale::system()), Scene(screen), placement);
}

// The wallpaper as the window writes it: the calendar painted within its reach on the fitted
// picture, the bitmap file, the desktop setter.
bool Compose(QImage& fitted, const TCalendarSkinValues& skin) {
  return ComposeWallpaper(fitted, CalendarReach(skin, Scene(fitted.size())),
                          [&](QPainter& painter) { PaintCalendar(painter, skin, fitted.size()); });
}

// Where the wallpaper goes: a directory of its own, a desktop whose setter commands are
// recorded (not run), KDE (takes the bitmap) or GNOME (gets a PNG copy).
class TDesktopScope {
 public:
  explicit TDesktopScope(int desktop) {
    qputenv("XDG_DATA_HOME", QFile::encodeName(Data.path()));
    qputenv("XDG_CURRENT_DESKTOP", Desktops[desktop]);
    Platform::SetCommandRunner(std::make_unique<TRecordingRunner>());
  }
  ~TDesktopScope() { Platform::SetCommandRunner(nullptr); }

 private:
  QTemporaryDir Data;
};

bool ComposeOnce(const QString& picture, const TComposeParams& params) {
  QImage fitted;
  double factor = 0;
  double skew = 1;
  return LoadTilePictureToBitmap(picture, fitted, params, &factor, &skew) &&
         Compose(fitted, Skins[0]);
}

// Arguments: picture, screen, effects (normalisation and gamma).
void BM_Compose(benchmark::State& state) {
  const QString picture = QString::fromLatin1(Pictures[state.range(0)]);
  if (!QFile::exists(picture)) {
    state.SkipWithError("picture missing (packages mate-backgrounds, plasma-workspace-wallpapers)");
    return;
  }
  const TComposeParams params = Params(Screens[state.range(1)], state.range(2) != 0);
  const TDesktopScope desktop(0);
  for (auto _ : state)
    if (!ComposeOnce(picture, params)) state.SkipWithError("composing failed");
  state.SetLabel(QStringLiteral("%1 to %2x%3%4")
                     .arg(QLatin1String(PictureNames[state.range(0)]))
                     .arg(params.ScreenWidth)
                     .arg(params.ScreenHeight)
                     .arg(params.Normalize ? QStringLiteral(" normalised, gamma 120") : QString())
                     .toStdString());
}
BENCHMARK(BM_Compose)
    ->ArgsProduct({{0, 1}, {0, 1}, {0, 1}})
    ->ArgNames({"picture", "screen", "effects"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Two monitors side by side, 3840 x 2160 and 1920 x 1080, the same picture on both: the canvas
// of both, each monitor's fitting at its place, the calendar on the first.
void BM_ComposeTwoMonitors(benchmark::State& state) {
  const QString picture = QString::fromLatin1(Pictures[state.range(0)]);
  if (!QFile::exists(picture)) {
    state.SkipWithError("picture missing (packages mate-backgrounds, plasma-workspace-wallpapers)");
    return;
  }
  const QList<TMonitor> monitors = {{"DP-1", QRect(0, 0, 3840, 2160), 1, true},
                                    {"HDMI-1", QRect(3840, 0, 1920, 1080), 1, false}};
  const TComposeParams params = Params(Screens[1], state.range(1) != 0);
  const TDesktopScope desktop(0);
  for (auto _ : state) {
    QImage canvas;
    if (!FitToMonitors({picture, picture}, monitors, TArrangement::Same, params, canvas) ||
        !ComposeWallpaper(canvas, CalendarReach(Skins[0], Scene(Screens[1])),
                          [&](QPainter& painter) { PaintCalendar(painter, Skins[0], Screens[1]); }))
      state.SkipWithError("composing failed");
  }
}
BENCHMARK(BM_ComposeTwoMonitors)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"picture", "effects"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// What a calendar change or a day change costs, in the given skin.
void Redraw(benchmark::State& state, int screenIndex, int desktop, const TCalendarSkinValues& skin,
            const char* skinName) {
  const QString picture = QString::fromLatin1(Pictures[0]);
  const QSize screen = Screens[screenIndex];
  QImage fitted;
  if (!LoadTilePictureToBitmap(picture, fitted, Params(screen, false))) {
    state.SkipWithError("no fitted picture");
    return;
  }
  const TDesktopScope scope(desktop);
  for (auto _ : state)
    if (!Compose(fitted, skin)) state.SkipWithError("redraw failed");
  state.SetLabel(QStringLiteral("%1x%2 %3, %4")
                     .arg(screen.width())
                     .arg(screen.height())
                     .arg(QLatin1String(Desktops[desktop]))
                     .arg(QLatin1String(skinName))
                     .toStdString());
}

// Arguments: screen, desktop. The default skin.
void BM_Redraw(benchmark::State& state) {
  Redraw(state, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), Skins[0],
         SkinNames[0]);
}
BENCHMARK(BM_Redraw)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"screen", "desktop"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Arguments: screen, desktop, unequal focus scales. The costliest skin.
void BM_CostliestCalendarRedraw(benchmark::State& state) {
  const int skin = state.range(2) ? 2 : 1;
  Redraw(state, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), Skins[skin],
         SkinNames[skin]);
}
BENCHMARK(BM_CostliestCalendarRedraw)
    ->ArgsProduct({{0, 1}, {0, 1}, {0, 1}})
    ->ArgNames({"screen", "desktop", "focus"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Argument: skin. The calendar step alone, on a 1920 x 1080 copy of a plain picture.
void BM_CalendarPaint(benchmark::State& state) {
  QImage plain(1920, 1080, QImage::Format_RGB32);
  plain.fill(0xFF3C5A78u);
  for (auto _ : state) {
    QImage wallpaper = plain;
    QPainter painter(&wallpaper);
    PaintCalendar(painter, Skins[state.range(0)], wallpaper.size());
    benchmark::DoNotOptimize(wallpaper.constBits());
  }
  state.SetLabel(SkinNames[state.range(0)]);
}
BENCHMARK(BM_CalendarPaint)
    ->DenseRange(0, 2)
    ->ArgName("skin")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  // The calendar needs fonts, so a GUI application; no display is needed for one.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc == 6 && std::strcmp(argv[1], "--once") == 0) {
    const QString picture = QString::fromLocal8Bit(argv[2]);
    const TComposeParams params =
        Params(QSize(std::atoi(argv[3]), std::atoi(argv[4])), std::atoi(argv[5]) != 0);
    const TDesktopScope desktop(0);
    const bool done = ComposeOnce(picture, params);
    if (!done) std::fprintf(stderr, "composing failed\n");
    return done ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
