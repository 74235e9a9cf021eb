// Composing a wallpaper from a large photo, and redrawing it from the cached fitted picture.
//   ComposeBench [Google Benchmark options]
//   ComposeBench --once PICTURE WIDTH HEIGHT EFFECTS   composes once (for /usr/bin/time)
// Compose: decode, normalise and gamma (when asked), fit, write the bitmap file.
// Redraw: copy of the fitted picture, the calendar step, the bitmap file, the desktop setter
// (its commands recorded, not run), for a desktop that takes the bitmap and one that gets a PNG.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "MyGDIPlus/MyGDIPlus.h"
#include "Platform/CommandRunner.h"

namespace {

const char* const Pictures[] = {
    "/usr/share/backgrounds/mate/abstract/Elephants_5640x3172.jpg",     // progressive
    "/usr/share/wallpapers/SafeLanding/contents/images/5120x2880.jpg",  // baseline
};
const char* const PictureNames[] = {"mate-5640x3172-progressive", "plasma-5120x2880-baseline"};
const QSize Screens[] = {{1920, 1080}, {3840, 2160}};
// XDG_CURRENT_DESKTOP values: KDE takes the bitmap itself, GNOME gets a PNG copy.
const char* const Desktops[] = {"KDE", "GNOME"};

class TRecordingRunner : public Platform::ICommandRunner {
 public:
  Platform::TCommandResult Run(const QString&, const QStringList&) override {
    Platform::TCommandResult result;
    result.Started = true;
    result.ExitCode = 0;
    return result;
  }
};

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

bool ComposeOnce(const QString& picture, const TComposeParams& params, const QString& output) {
  QImage fitted;
  double factor = 0;
  double skew = 1;
  return LoadTilePictureToBitmap(picture, fitted, params, &factor, &skew) &&
         SaveBitmapFile(fitted, output);
}

// Arguments: picture, screen, effects (normalisation and gamma).
void BM_Compose(benchmark::State& state) {
  const QString picture = QString::fromLatin1(Pictures[state.range(0)]);
  if (!QFile::exists(picture)) {
    state.SkipWithError("picture missing (packages mate-backgrounds, plasma-workspace-wallpapers)");
    return;
  }
  const TComposeParams params = Params(Screens[state.range(1)], state.range(2) != 0);
  QTemporaryDir dir;
  const QString output = dir.filePath(QLatin1String(WallpaperFileName));
  for (auto _ : state)
    if (!ComposeOnce(picture, params, output)) state.SkipWithError("composing failed");
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

// Arguments: screen, desktop. What a calendar change or a day change costs.
void BM_Redraw(benchmark::State& state) {
  const QString picture = QString::fromLatin1(Pictures[0]);
  const QSize screen = Screens[state.range(0)];
  QImage fitted;
  if (!LoadTilePictureToBitmap(picture, fitted, Params(screen, false))) {
    state.SkipWithError("no fitted picture");
    return;
  }
  QTemporaryDir data;
  qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
  qputenv("XDG_CURRENT_DESKTOP", Desktops[state.range(1)]);
  Platform::SetCommandRunner(std::make_unique<TRecordingRunner>());
  // The calendar step paints nothing yet; touching the pixels makes the copy it will paint on.
  const auto calendar = [](QImage& wallpaper) { benchmark::DoNotOptimize(wallpaper.bits()); };
  for (auto _ : state)
    if (!ComposeWallpaper(fitted, calendar)) state.SkipWithError("redraw failed");
  Platform::SetCommandRunner(nullptr);
  state.SetLabel(QStringLiteral("%1x%2 %3")
                     .arg(screen.width())
                     .arg(screen.height())
                     .arg(QLatin1String(Desktops[state.range(1)]))
                     .toStdString());
}
BENCHMARK(BM_Redraw)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"screen", "desktop"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc == 6 && std::strcmp(argv[1], "--once") == 0) {
    const QString picture = QString::fromLocal8Bit(argv[2]);
    const TComposeParams params =
        Params(QSize(std::atoi(argv[3]), std::atoi(argv[4])), std::atoi(argv[5]) != 0);
    QTemporaryDir dir;
    const bool done = ComposeOnce(picture, params, dir.filePath(QLatin1String(WallpaperFileName)));
    if (!done) std::fprintf(stderr, "composing failed\n");
    return done ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
