// Composing a wallpaper from a large photo: decode, normalise, fit to 1920 x 1080, gamma, write
// the bitmap file. `ComposeBench --once [picture]` composes a single time (for /usr/bin/time).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

#include "MyGDIPlus.h"

namespace {

QString Picture = QStringLiteral("/usr/share/backgrounds/mate/abstract/Elephants_5640x3172.jpg");

TComposeParams Params() {
  TComposeParams params;
  params.ScreenWidth = 1920;
  params.ScreenHeight = 1080;
  params.Normalize = true;
  params.NormalizeMethod = QStringLiteral("Balanced scaling");
  params.NormalizeLevel = 0.5;
  params.Gamma = 120;
  return params;
}

bool ComposeOnce(const QString& output) {
  QImage fitted;
  double factor = 0;
  double skew = 1;
  return LoadTilePictureToBitmap(Picture, fitted, Params(), &factor, &skew) &&
         SaveBitmapFile(fitted, output);
}

void BM_Compose(benchmark::State& state) {
  QTemporaryDir dir;
  const QString output = dir.filePath(QLatin1String(WallpaperFileName));
  for (auto _ : state)
    if (!ComposeOnce(output)) state.SkipWithError("composing failed");
}
BENCHMARK(BM_Compose)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc >= 2 && std::strcmp(argv[1], "--once") == 0) {
    if (argc >= 3) Picture = QString::fromLocal8Bit(argv[2]);
    QTemporaryDir dir;
    const bool done = ComposeOnce(dir.filePath(QLatin1String(WallpaperFileName)));
    if (!done) std::fprintf(stderr, "composing failed\n");
    return done ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
