// Whether the brightness statistics of a JPEG reduced while decoding give the same applied
// normalisation factor as those of the whole picture. V = max(R, G, B) is convex and the reduced
// decode filters colour its own way, so the mean brightness of the reduced pixels moves.
//   NormalisationCompare WIDTH HEIGHT PICTURE...
// For every picture the compose reduces for a WIDTH x HEIGHT screen (default settings) prints:
// size, reduction, the factor label from the reduced pixels, from the full ones, the label the
// compose shows, and whether that one equals the full label at the default level; the means
// (0..255) with their fractions show how near a label came to changing. "levels"
// counts the levels 5..95 at which reduced and full labels differ.
#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "MyGDIPlus/Brightness.h"
#include "MyGDIPlus/MyGDIPlus.h"
#include "MyGDIPlus/PictureDecode.h"

namespace {

// The text the window shows: "(Applied normalization factor N)", the factor in whole percent.
long long FactorLabel(double level, double mean) {
  return static_cast<long long>(NormalizeFactor(level, mean) * 100);
}

struct TStatistics {
  QImage Picture;
  double Scale = 1.0;
  double Mean = 0;       // as the compose takes it: the integer mean over 255
  double ExactMean = 0;  // 0..255 with its fraction, to see how close a label came to changing
  QString Why;
};

double ExactMeanOf(const QImage& picture) {
  uint64_t sum = 0;
  for (int y = 0; y < picture.height(); ++y) {
    const uchar* pixel = picture.constScanLine(y);
    for (int x = 0; x < picture.width(); ++x, pixel += 4)
      sum += std::max({pixel[0], pixel[1], pixel[2]});
  }
  return static_cast<double>(sum) / (static_cast<double>(picture.width()) * picture.height());
}

TStatistics Measure(const QString& path, const TDecodeScaleChooser& chooseScale) {
  TStatistics result;
  const TDecodedPicture decoded = DecodePicture(path, chooseScale, result.Why);
  result.Picture = decoded.Image;
  result.Scale = decoded.Scale;
  double deviation = 0;
  if (decoded.Image.isNull()) return result;
  MeasureBrightness(decoded.Image, result.Mean, deviation);
  result.ExactMean = ExactMeanOf(decoded.Image);
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 4) {
    std::fprintf(stderr, "usage: NormalisationCompare WIDTH HEIGHT PICTURE...\n");
    return 2;
  }
  TComposeParams params;
  params.ScreenWidth = std::atoi(argv[1]);
  params.ScreenHeight = std::atoi(argv[2]);
  params.Normalize = true;
  const double level = params.NormalizeLevel;

  std::printf("%-62s %11s %6s %8s %8s %6s %6s %6s %7s %6s\n", "file", "size", "reduce", "mean",
              "mean", "label", "label", "label", "equal?", "levels");
  std::printf("%-62s %11s %6s %8s %8s %6s %6s %6s %7s %6s\n", "", "", "", "reduced", "full",
              "reduc", "full", "shown", "", "differ");
  int reduced = 0;
  int differing = 0;
  for (int i = 3; i < argc; ++i) {
    const QString path = QString::fromLocal8Bit(argv[i]);
    const TStatistics small = Measure(path, [&](int width, int height) {
      return MinDecodeScale(ComputePictureLayout(width, height, params));
    });
    if (small.Picture.isNull()) {
      std::printf("%-62s failed: %s\n", argv[i], qPrintable(small.Why));
      continue;
    }
    if (small.Scale >= 1.0) continue;  // decoded whole: nothing to compare
    const TStatistics full = Measure(path, [](int, int) { return 1.0; });
    QImage fitted;
    double shownFactor = 0;
    if (full.Picture.isNull() || !LoadTilePictureToBitmap(path, fitted, params, &shownFactor)) {
      std::printf("%-62s failed: %s\n", argv[i], qPrintable(full.Why));
      continue;
    }
    const long long labelReduced = FactorLabel(level, small.Mean);
    const long long labelFull = FactorLabel(level, full.Mean);
    const long long labelShown = static_cast<long long>(shownFactor * 100);
    int levels = 0;
    for (int percent = 5; percent <= 95; percent += 5)
      levels += FactorLabel(percent / 100.0, small.Mean) != FactorLabel(percent / 100.0, full.Mean);
    ++reduced;
    differing += labelShown != labelFull;
    QString file = QFileInfo(path).filePath();
    if (file.size() > 62) file = QStringLiteral("...") + file.right(59);
    std::printf("%-62s %5dx%-5d %6s %8.3f %8.3f %6lld %6lld %6lld %7s %6d\n", qPrintable(file),
                full.Picture.width(), full.Picture.height(),
                qPrintable(QStringLiteral("1/%1").arg(qRound(1.0 / small.Scale))), small.ExactMean,
                full.ExactMean, labelReduced, labelFull, labelShown,
                labelShown == labelFull ? "yes" : "NO", levels);
  }
  std::printf("%d reduced pictures, %d with a shown label other than the full one (level %g)\n",
              reduced, differing, level);
  return 0;
}
