// Brightness statistics, the three normalisation methods and the gamma table, against values
// worked out by hand and against the formulas applied pixel by pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "Error/Error.h"
#include "MyGDIPlus/MyGDIPlus.h"
#include "PictureFiles.h"

namespace {

const QString Anisotropic = QStringLiteral("Anisotropic dampening");
const QString Balanced = QStringLiteral("Balanced scaling");
const QString Mirrored = QStringLiteral("Mirrored scaling");

QImage Grey(int value, int width = 4, int height = 3) {
  return SolidImage(width, height, qRgb(value, value, value));
}

// Normalises a copy of `picture` that is a grey of `value` and returns the new grey.
int NormalisedGrey(int value, const QString& method, double level) {
  QImage picture = Grey(value);
  double mean = 0;
  double deviation = 0;
  EXPECT_TRUE(GetPictureBright(picture, mean, deviation));
  NormalizePictureBrightness(picture, method, level, mean, deviation);
  EXPECT_EQ(qRed(picture.pixel(3, 2)), qGreen(picture.pixel(3, 2)));
  return qRed(picture.pixel(3, 2));
}

// The formulas as written, one channel at a time, for comparison with the table-driven code.
int Reference(const QString& method, double level, double mean, double deviation, int v255,
              int ch) {
  const double l = std::clamp(level, 0.01, 1.0);
  const double m = std::clamp(mean, 0.01, 1.0);
  const double v = v255 / 255.0;
  double k = l / m;
  if (method == Anisotropic) {
    const double a = (std::fabs(l - m) * 0.5 + 1) * (deviation * 0.5 + 1);
    const double g = std::sqrt(1 - std::fabs(1 - l - v)) * a + 1;
    k = (l + 0.5) / ((g - 1) * v + 1);
  } else if (method == Balanced && m < l) {
    k = (l / m - 1) * (1 - v) + 1;
  } else if (method == Mirrored && m < l) {
    k = (1 - l) / (1 - m);
    return std::min(255, static_cast<int>(std::trunc(255 - k * (255 - ch))));
  }
  return std::min(255, static_cast<int>(std::trunc(ch * k)));
}

}  // namespace

TEST(GetPictureBright, MeanAndDeviationOfTheBrightestChannel) {
  QImage picture(2, 2, QImage::Format_RGB32);
  picture.setPixel(0, 0, qRgb(0, 0, 0));
  picture.setPixel(1, 0, qRgb(3, 255, 7));
  picture.setPixel(0, 1, qRgb(10, 64, 3));
  picture.setPixel(1, 1, qRgb(100, 20, 99));
  double mean = 0;
  double deviation = 0;
  ASSERT_TRUE(GetPictureBright(picture, mean, deviation));
  // V = 0, 255, 64, 100: sum 419, m = 419 div 4 = 104; squares 10816 + 22801 + 1600 + 16 =
  // 35233, div 4 = 8808.
  EXPECT_DOUBLE_EQ(mean, 104 / 255.0);
  EXPECT_DOUBLE_EQ(deviation, std::sqrt(8808.0) / 255);
}

// Large pictures, rows of several runs, and a row that overflows 32-bit sums (70001 white).
TEST(GetPictureBright, LargePictureMatchesTwoPassDefinition) {
  for (const QImage& picture : {NoiseImage(1501, 977, 11), NoiseImage(9001, 2, 12),
                                SolidImage(70001, 1, qRgb(255, 255, 255))}) {
    const uint64_t count = static_cast<uint64_t>(picture.width()) * picture.height();
    uint64_t sum = 0;
    for (int y = 0; y < picture.height(); ++y)
      for (int x = 0; x < picture.width(); ++x) {
        const QRgb p = picture.pixel(x, y);
        sum += static_cast<uint64_t>(std::max({qRed(p), qGreen(p), qBlue(p)}));
      }
    const int64_t m = static_cast<int64_t>(sum / count);
    uint64_t squares = 0;
    for (int y = 0; y < picture.height(); ++y)
      for (int x = 0; x < picture.width(); ++x) {
        const QRgb p = picture.pixel(x, y);
        const int64_t d = std::max({qRed(p), qGreen(p), qBlue(p)}) - m;
        squares += static_cast<uint64_t>(d * d);
      }
    double mean = 0;
    double deviation = 0;
    ASSERT_TRUE(GetPictureBright(picture, mean, deviation));
    EXPECT_DOUBLE_EQ(mean, static_cast<double>(m) / 255) << picture.width();
    EXPECT_DOUBLE_EQ(deviation, std::sqrt(static_cast<double>(squares / count)) / 255)
        << picture.width();
  }
}

TEST(NormalizePictureBrightness, WorkedExamples) {
  // Grey 64 at level 50: factor 1.9922.
  QImage picture = Grey(64);
  EXPECT_EQ(
      static_cast<int>(NormalizePictureBrightness(picture, Balanced, 0.5, 64 / 255.0, 0) * 100),
      199);
  EXPECT_EQ(NormalisedGrey(64, Balanced, 0.5), 111);
  EXPECT_EQ(NormalisedGrey(64, Mirrored, 0.5), 127);
  EXPECT_EQ(NormalisedGrey(64, Anisotropic, 0.5), 51);
  // Darkening uses L / M for both scaling methods.
  EXPECT_EQ(NormalisedGrey(200, Balanced, 0.3), 76);
  EXPECT_EQ(NormalisedGrey(200, Mirrored, 0.3), 76);
  // The method name is matched regardless of letter case.
  EXPECT_EQ(NormalisedGrey(64, QStringLiteral("BALANCED SCALING"), 0.5), 111);
}

TEST(NormalizePictureBrightness, WhiteBlackAndClamping) {
  QImage picture(3, 1, QImage::Format_RGB32);
  picture.setPixel(0, 0, qRgb(255, 255, 255));
  picture.setPixel(1, 0, qRgb(0, 0, 0));
  picture.setPixel(2, 0, qRgb(250, 10, 10));
  QImage balanced = picture;
  NormalizePictureBrightness(balanced, Balanced, 0.9, 0.1, 0);
  EXPECT_EQ(balanced.pixel(0, 0), qRgb(255, 255, 255));  // k = 1 for white
  EXPECT_EQ(balanced.pixel(1, 0), qRgb(0, 0, 0));
  EXPECT_EQ(qRed(balanced.pixel(2, 0)), 255);  // 250 x 1.157 is written as 255
  QImage mirrored = picture;
  NormalizePictureBrightness(mirrored, Mirrored, 0.9, 0.1, 0);
  EXPECT_EQ(mirrored.pixel(0, 0), qRgb(255, 255, 255));
  // The white pixel of the grey-64 example under anisotropic dampening: k = 0.55706.
  QImage anisotropic = picture;
  NormalizePictureBrightness(anisotropic, Anisotropic, 0.5, 64 / 255.0, 0);
  EXPECT_EQ(anisotropic.pixel(0, 0), qRgb(142, 142, 142));
  EXPECT_EQ(anisotropic.pixel(1, 0), qRgb(0, 0, 0));
}

TEST(NormalizePictureBrightness, FactorAlwaysReturnedAlphaUntouched) {
  // A black picture's mean is raised to 0.01: factor 50 at level 50.
  QImage black = Grey(0);
  double mean = 1;
  double deviation = 1;
  ASSERT_TRUE(GetPictureBright(black, mean, deviation));
  EXPECT_EQ(mean, 0.0);
  EXPECT_EQ(
      static_cast<int>(NormalizePictureBrightness(black, Balanced, 0.5, mean, deviation) * 100),
      5000);
  // An unknown method changes nothing but still reports L / M; levels are clamped to 0.01..1.
  QImage grey = Grey(64);
  EXPECT_DOUBLE_EQ(NormalizePictureBrightness(grey, QStringLiteral("Other"), 0.95, 0.5, 0), 1.9);
  EXPECT_EQ(grey.pixel(0, 0), qRgb(64, 64, 64));
  EXPECT_DOUBLE_EQ(NormalizePictureBrightness(grey, QStringLiteral("x"), 3, 0.5, 0), 2.0);
  EXPECT_DOUBLE_EQ(NormalizePictureBrightness(grey, QStringLiteral("x"), 0, 2, 0), 0.01);

  QImage translucent = SolidImage(2, 2, qRgba(64, 32, 16, 0x40), QImage::Format_ARGB32);
  NormalizePictureBrightness(translucent, Balanced, 0.5, 64 / 255.0, 0);
  EXPECT_EQ(qAlpha(translucent.pixel(1, 1)), 0x40);
  EXPECT_NE(qRed(translucent.pixel(1, 1)), 64);
}

TEST(NormalizePictureBrightness, EveryMethodMatchesTheFormulasOnEveryPixel) {
  const QImage original = NoiseImage(701, 613, 5);
  for (const QString& method : {Anisotropic, Balanced, Mirrored}) {
    for (const auto& [level, mean, deviation] :
         {std::tuple{0.5, 0.25, 0.1}, std::tuple{0.3, 0.78, 0.2}, std::tuple{0.95, 0.005, 0.0}}) {
      QImage picture = original;
      NormalizePictureBrightness(picture, method, level, mean, deviation);
      for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
          const QRgb in = original.pixel(x, y);
          const QRgb out = picture.pixel(x, y);
          const int v = std::max({qRed(in), qGreen(in), qBlue(in)});
          ASSERT_EQ(qRed(out), Reference(method, level, mean, deviation, v, qRed(in)))
              << method.toStdString() << " " << x << "," << y;
          ASSERT_EQ(qGreen(out), Reference(method, level, mean, deviation, v, qGreen(in)));
          ASSERT_EQ(qBlue(out), Reference(method, level, mean, deviation, v, qBlue(in)));
        }
    }
  }
}

TEST(NormalizePictureBrightness, NoPixelsFailsButKeepsTheFactor) {
  QImage none;
  double mean = 1;
  double deviation = 1;
  EXPECT_FALSE(GetPictureBright(none, mean, deviation));
  EXPECT_EQ(FunStatContext.Description, QStringLiteral("Failed to lock bitmap bits"));
  EXPECT_EQ(mean, 0.0);
  EXPECT_EQ(deviation, 0.0);
  EXPECT_DOUBLE_EQ(NormalizePictureBrightness(none, Balanced, 0.5, 0.25, 0), 2.0);
  EXPECT_EQ(FunStatContext.Status, fsError);
  EXPECT_EQ(FunStatContext.Function, QStringLiteral("NormalizePictureBrightness"));
}

TEST(Gamma, TableValues) {
  uint8_t table[256];
  BuildGammaTable(200, table);
  EXPECT_EQ(table[128], 64);  // 255 x (128/255)^2 = 64.25
  EXPECT_EQ(table[64], 16);
  BuildGammaTable(50, table);
  EXPECT_EQ(table[64], 128);  // 255 x sqrt(64/255) = 127.75
  BuildGammaTable(1, table);
  EXPECT_EQ(table[1], 241);  // 255 x (1/255)^0.01 = 241.26
  BuildGammaTable(1000, table);
  EXPECT_EQ(table[200], 22);  // 255 x (200/255)^10 = 22.4
  for (const int gamma : {1, 5, 50, 150, 1000}) {
    BuildGammaTable(gamma, table);
    EXPECT_EQ(table[0], 0);
    EXPECT_EQ(table[255], 255);
    EXPECT_TRUE(std::is_sorted(table, table + 256)) << gamma;
  }
  EXPECT_FALSE(IsGammaApplied(100));
  EXPECT_FALSE(IsGammaApplied(0));
  EXPECT_FALSE(IsGammaApplied(1001));
  EXPECT_TRUE(IsGammaApplied(1));
  EXPECT_TRUE(IsGammaApplied(1000));
}
