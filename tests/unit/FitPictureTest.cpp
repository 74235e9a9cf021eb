// The resize rule chain: drawn sizes, placement, cropping, tiling, gamma and the whole load.
#include <gtest/gtest.h>

#include <QFile>
#include <QTransform>
#include <algorithm>

#include "Error/Error.h"
#include "MyGDIPlus/MyGDIPlus.h"
#include "MyGDIPlus/PictureDecode.h"
#include "PictureFiles.h"

namespace {

TComposeParams Screen(int width = 1280, int height = 1024) {
  TComposeParams params;
  params.ScreenWidth = width;
  params.ScreenHeight = height;
  return params;
}

void ExpectFit(const TFitResult& result, int width, int height, bool stretched) {
  EXPECT_EQ(result.Width, width);
  EXPECT_EQ(result.Height, height);
  EXPECT_EQ(result.Stretched, stretched);
}

}  // namespace

TEST(FitPictureSize, StretchesWithinTheSkewLimitOnly) {
  double skew = 0;
  ExpectFit(FitPictureSize(1600, 1200, 1280, 1024, &skew, true, true, 1.2, 300), 1280, 1024, true);
  EXPECT_NEAR(skew, 1.0667, 1e-4);
  EXPECT_EQ(static_cast<int>(skew * 100), 106);
  // Over the limit the picture is fitted instead, keeping its aspect.
  ExpectFit(FitPictureSize(1600, 1200, 1280, 1024, &skew, true, true, 1.05, 300), 1280, 960, false);
  // A limit of 0 or less allows any skew.
  ExpectFit(FitPictureSize(3000, 500, 1280, 1024, &skew, true, true, -1, 300), 1280, 1024, true);
  EXPECT_NEAR(skew, (3000.0 / 500) / (1280.0 / 1024), 1e-12);
  // A picture narrower than the screen's aspect has the inverse skew.
  FitPictureSize(500, 3000, 1280, 1024, &skew, true, true, 1.2, 300);
  EXPECT_NEAR(skew, 7.5, 1e-12);
}

TEST(FitPictureSize, MinimumSizeDisablesStretchAndFit) {
  ExpectFit(FitPictureSize(800, 600, 1280, 1024, nullptr, true, true, 1.2, 1000), 800, 600, false);
  // One axis below the minimum is enough.
  ExpectFit(FitPictureSize(2000, 900, 1280, 1024, nullptr, true, true, -1, 1000), 1280, 576, false);
  // Below 1 there is no minimum at all.
  ExpectFit(FitPictureSize(1, 1, 1280, 1024, nullptr, true, false, 1.2, -1), 1024, 1024, false);
  ExpectFit(FitPictureSize(1, 1, 1280, 1024, nullptr, false, false, 1.2, -1), 1, 1, false);
}

TEST(FitPictureSize, ShrinksWithoutFitAndTruncates) {
  // Without fit a picture is never enlarged, only shrunk into the screen.
  ExpectFit(FitPictureSize(3000, 2000, 1280, 1024, nullptr, false, false, 1.2, 300), 1280, 853,
            false);
  ExpectFit(FitPictureSize(1000, 3000, 1280, 1024, nullptr, false, false, 1.2, 300), 341, 1024,
            false);
  // With fit it grows until one axis touches; 333 * 1280 / 1000 = 426.24 truncates.
  ExpectFit(FitPictureSize(1000, 333, 1280, 1024, nullptr, true, false, 1.2, 300), 1280, 426,
            false);
  ExpectFit(FitPictureSize(400, 900, 1280, 1024, nullptr, true, false, 1.2, 300), 455, 1024, false);
}

TEST(FitPictureSize, EmptyPictureAndLargeSizes) {
  double skew = 5;
  ExpectFit(FitPictureSize(0, 100, 1280, 1024, &skew, true, true, 1.2, 300), 0, 0, false);
  EXPECT_EQ(skew, 1.0);
  ExpectFit(FitPictureSize(100, -1, 1280, 1024, nullptr, true, true, 1.2, 300), 0, 0, false);
  // Products beyond 32 bits must not wrap.
  ExpectFit(FitPictureSize(100000, 60000, 80000, 50000, nullptr, true, false, 1.2, 300), 80000,
            48000, false);
}

TEST(PictureLayout, CropsCentresAndTilesAsTheRulesSay) {
  TComposeParams params = Screen();
  params.FitAndCrop = true;
  // A panorama: the middle strip of the width, the whole height; the skew stays 1.
  TPictureLayout layout = ComputePictureLayout(3000, 500, params);
  EXPECT_EQ(layout.Source, QRect(1187, 0, 625, 500));
  EXPECT_EQ(layout.Target, QRect(0, 0, 1280, 1024));
  EXPECT_FALSE(layout.Tiled);
  EXPECT_EQ(layout.Skew, 1.0);
  // A tall picture: the middle band of the height.
  layout = ComputePictureLayout(1000, 2000, params);
  EXPECT_EQ(layout.Source, QRect(0, 600, 1000, 800));
  // Below the minimum with crop on: drawn at the top-left corner, neither centred nor tiled.
  params.MinStretchSize = 1000;
  layout = ComputePictureLayout(800, 600, params);
  EXPECT_EQ(layout.Target, QRect(0, 0, 800, 600));
  EXPECT_FALSE(layout.Tiled);

  params = Screen();
  params.MinStretchSize = 1000;
  params.Tile = false;
  layout = ComputePictureLayout(800, 600, params);
  EXPECT_EQ(layout.Source, QRect(0, 0, 800, 600));
  EXPECT_EQ(layout.Target, QRect(240, 212, 800, 600));

  params = Screen();
  params.MaxStretchSkew = 1.05;
  params.Tile = false;
  EXPECT_EQ(ComputePictureLayout(1600, 1200, params).Target, QRect(0, 32, 1280, 960));
  params.Tile = true;
  layout = ComputePictureLayout(1600, 1200, params);
  EXPECT_EQ(layout.Target, QRect(0, 0, 1280, 960));
  EXPECT_TRUE(layout.Tiled);
  // Stretched pictures are never tiled.
  params.MaxStretchSkew = 1.2;
  EXPECT_FALSE(ComputePictureLayout(1600, 1200, params).Tiled);

  params = Screen();
  params.MinStretchSize = -1;
  params.Stretch = params.FitAndCrop = params.Tile = false;
  EXPECT_EQ(ComputePictureLayout(1, 1, params).Target, QRect(128, 0, 1024, 1024));
  params.FitBeforeTile = false;
  EXPECT_EQ(ComputePictureLayout(1, 1, params).Target, QRect(639, 511, 1, 1));
}

TEST(LoadTilePictureToBitmap, CentresOverTheFillColourAndReportsSkew) {
  const QString file = SavePicture(SolidImage(800, 600, qRgb(200, 100, 50)), "centre.png");
  TComposeParams params = Screen();
  params.MinStretchSize = 1000;
  params.Tile = false;
  params.FillColor = QColor(0, 0, 255);
  QImage bitmap;
  double factor = -1;
  double skew = -1;
  ASSERT_TRUE(LoadTilePictureToBitmap(file, bitmap, params, &factor, &skew));
  ASSERT_EQ(bitmap.size(), QSize(1280, 1024));
  EXPECT_EQ(factor, 0.0);
  EXPECT_NEAR(skew, (800.0 / 600) / (1280.0 / 1024), 1e-12);
  const QRect picture(240, 212, 800, 600);
  for (int y = 0; y < bitmap.height(); y += 3)
    for (int x = 0; x < bitmap.width(); x += 3)
      ASSERT_EQ(bitmap.pixel(x, y) & 0xFFFFFF, picture.contains(x, y) ? 0xC86432u : 0x0000FFu)
          << x << "," << y;
  EXPECT_EQ(bitmap.pixel(239, 212) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(bitmap.pixel(240, 212) & 0xFFFFFF, 0xC86432u);
  EXPECT_EQ(bitmap.pixel(1039, 811) & 0xFFFFFF, 0xC86432u);
  EXPECT_EQ(bitmap.pixel(1040, 811) & 0xFFFFFF, 0x0000FFu);
}

TEST(LoadTilePictureToBitmap, TilesPixelExactlyAndClipsAtTheEdges) {
  const QImage tile = NoiseImage(37, 23, 7);
  const QString file = SavePicture(tile, "tile.png");
  TComposeParams params = Screen(200, 100);
  params.Stretch = params.FitBeforeTile = false;
  params.Tile = true;
  QImage bitmap;
  ASSERT_TRUE(LoadTilePictureToBitmap(file, bitmap, params));
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 200; ++x)
      ASSERT_EQ(bitmap.pixel(x, y), tile.pixel(x % 37, y % 23)) << x << "," << y;
}

TEST(LoadTilePictureToBitmap, GammaChangesThePictureButNotTheFill) {
  const QString file = SavePicture(SolidImage(10, 10, qRgb(128, 64, 255)), "grey.png");
  TComposeParams params = Screen(30, 30);
  params.Stretch = params.FitBeforeTile = params.Tile = false;
  params.FillColor = QColor(128, 128, 128);
  params.Gamma = 200;
  QImage bitmap;
  ASSERT_TRUE(LoadTilePictureToBitmap(file, bitmap, params));
  EXPECT_EQ(bitmap.pixel(15, 15), qRgb(64, 16, 255));
  EXPECT_EQ(bitmap.pixel(0, 0), qRgb(128, 128, 128));
  // 100 and values outside 1..1000 draw without gamma.
  for (const int gamma : {100, 0, 1001}) {
    params.Gamma = gamma;
    ASSERT_TRUE(LoadTilePictureToBitmap(file, bitmap, params));
    EXPECT_EQ(bitmap.pixel(15, 15), qRgb(128, 64, 255)) << gamma;
  }
}

TEST(LoadTilePictureToBitmap, NormalisesBeforeFitting) {
  const QString file = SavePicture(SolidImage(64, 48, qRgb(64, 64, 64)), "dark.png");
  TComposeParams params = Screen(128, 96);
  params.Normalize = true;
  params.NormalizeLevel = 0.5;
  QImage bitmap;
  double factor = 0;
  ASSERT_TRUE(LoadTilePictureToBitmap(file, bitmap, params, &factor));
  EXPECT_EQ(static_cast<int>(factor * 100), 199);
  EXPECT_EQ(bitmap.pixel(0, 0), qRgb(111, 111, 111));
  EXPECT_EQ(bitmap.pixel(127, 95), qRgb(111, 111, 111));
}

TEST(LoadTilePictureToBitmap, TransparentPartsShowTheFill) {
  QImage picture = SolidImage(20, 20, qRgba(255, 0, 0, 0), QImage::Format_ARGB32);
  for (int y = 0; y < 20; ++y)
    for (int x = 10; x < 20; ++x) picture.setPixel(x, y, qRgba(255, 0, 0, 255));
  const QString file = SavePicture(picture, "half.png");
  TComposeParams params = Screen(20, 20);
  params.FillColor = QColor(0, 0, 255);
  QImage bitmap;
  ASSERT_TRUE(LoadTilePictureToBitmap(file, bitmap, params));
  EXPECT_EQ(bitmap.pixel(2, 10), qRgb(0, 0, 255));
  EXPECT_EQ(bitmap.pixel(17, 10), qRgb(255, 0, 0));
}

TEST(LoadTilePictureToBitmap, BadPicturesFailCleanly) {
  QList<QPair<QString, QString>> files = BadPictureFiles();
  const QString directory = TestPicturePath("folder.png");
  QDir().mkpath(directory);
  files.append({"folder", directory});
  for (const auto& [kind, file] : files) {
    QImage bitmap = SolidImage(4, 4, 0);
    double skew = 0;
    double factor = 1;
    TComposeParams params = Screen();
    params.Normalize = true;
    EXPECT_FALSE(LoadTilePictureToBitmap(file, bitmap, params, &factor, &skew)) << kind;
    EXPECT_TRUE(bitmap.isNull()) << kind;
    EXPECT_EQ(FunStatContext.Status, fsError) << kind;
    EXPECT_EQ(FunStatContext.Description, QStringLiteral("Failed to load picture.")) << kind;
    EXPECT_EQ(FunStatContext.Parameter1, file);
    EXPECT_FALSE(FunStatContext.Parameter2.isEmpty()) << kind << ": the decoder's reason";
    EXPECT_EQ(FunStatContext.Function, QStringLiteral("LoadTilePictureToBitmap"));
    EXPECT_EQ(skew, 1.0);
    EXPECT_EQ(factor, 0.0);
  }
}

TEST(LoadTilePictureToBitmap, EmptyNameLeavesEverythingAlone) {
  QImage bitmap = SolidImage(4, 4, qRgb(1, 2, 3));
  FunStatContext.Reset(fsPerfect);
  EXPECT_TRUE(LoadTilePictureToBitmap(QString(), bitmap, Screen()));
  EXPECT_EQ(bitmap.size(), QSize(4, 4));
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
}

TEST(LoadTilePictureToBitmap, ZeroWidthDrawingLeavesTheFill) {
  // 1 x 10000 shrunk into 1024 rows would be 0 pixels wide: nothing is drawn or tiled.
  const QString file = SavePicture(SolidImage(1, 10000, qRgb(255, 255, 255)), "needle.png");
  TComposeParams params = Screen();
  params.Stretch = params.FitBeforeTile = false;
  QImage bitmap;
  ASSERT_TRUE(LoadTilePictureToBitmap(file, bitmap, params));
  EXPECT_EQ(bitmap.pixel(0, 0), qRgb(0, 0, 0));
  EXPECT_EQ(bitmap.pixel(640, 512), qRgb(0, 0, 0));
}

TEST(LoadTilePictureToBitmap, NoScreenSizeFailsBeforeLoading) {
  const QString file = SavePicture(SolidImage(8, 8, qRgb(1, 1, 1)), "small.png");
  TComposeParams params = Screen(0, 768);
  params.FitAndCrop = true;
  params.MinStretchSize = -1;
  EXPECT_TRUE(ComputePictureLayout(8, 8, params).Target.isEmpty());
  QImage bitmap;
  EXPECT_FALSE(LoadTilePictureToBitmap(file, bitmap, params));
  EXPECT_EQ(FunStatContext.Description, QStringLiteral("Failed to create bitmap."));
  EXPECT_EQ(FunStatContext.Parameter2, QStringLiteral("0 x 768"));
  EXPECT_TRUE(bitmap.isNull());
}

namespace {

// Smooth colours over the whole picture, so normalising before or after resampling differs by
// rounding alone.
QImage Gradients(QSize size) {
  QImage image(size, QImage::Format_RGB32);
  for (int y = 0; y < size.height(); ++y)
    for (int x = 0; x < size.width(); ++x)
      image.setPixel(x, y,
                     qRgb(30 + 160 * x / size.width(), 20 + 120 * y / size.height(),
                          90 + 60 * (x + y) / (size.width() + size.height())));
  return image;
}

int MaxChannelDistance(const QImage& a, const QImage& b) {
  int distance = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      distance = std::max(distance, ChannelDistance(a.pixel(x, y), b.pixel(x, y)));
  return distance;
}

}  // namespace

// A JPEG that needs no turning is drawn as it decodes, through a ring of a few rows: the
// wallpaper is the one its decoded pixels give when drawn whole (from a PNG of them), for a wide
// and a tall picture, reduced while decoding and not. Normalised, the factor is the same and the
// pixels of a smooth picture differ by rounding: the streamed one is normalised once drawn.
TEST(LoadTilePictureToBitmap, StreamedJpegDrawsAsItsDecodedPixelsWould) {
  struct Case {
    QSize Picture;
    QSize Screen;
    double Scale;
  };
  for (const Case& c : {Case{{640, 400}, {480, 300}, 1.0}, Case{{640, 400}, {300, 180}, 0.5},
                        Case{{300, 500}, {240, 400}, 1.0}, Case{{300, 500}, {60, 100}, 0.25}}) {
    const QString jpeg = SavePicture(Gradients(c.Picture), "streamed.jpg", 90);
    TComposeParams params = Screen(c.Screen.width(), c.Screen.height());
    params.MinStretchSize = 0;  // the decoded pixels are stretched alike, whatever their size
    params.Gamma = 140;
    QString why;
    const TDecodedPicture decoded = DecodePicture(
        jpeg,
        [&](int width, int height) {
          return MinDecodeScale(ComputePictureLayout(width, height, params));
        },
        why);
    ASSERT_EQ(decoded.Scale, c.Scale) << c.Picture.width();
    const QString png = SavePicture(decoded.Image, "streamed-decoded.png");
    for (const bool normalise : {false, true}) {
      params.Normalize = normalise;
      params.NormalizeLevel = 0.7;  // brightening: the balanced scale differs pixel by pixel
      QImage streamed;
      QImage whole;
      double streamedFactor = -1;
      double wholeFactor = -2;
      ASSERT_TRUE(LoadTilePictureToBitmap(jpeg, streamed, params, &streamedFactor));
      ASSERT_TRUE(LoadTilePictureToBitmap(png, whole, params, &wholeFactor));
      ASSERT_EQ(streamed.size(), c.Screen);
      EXPECT_EQ(streamedFactor, wholeFactor);
      if (normalise) {
        EXPECT_GT(streamedFactor, 1.0);
        // A level of truncation, scaled by the factor and by the gamma's slope.
        EXPECT_LE(MaxChannelDistance(streamed, whole), 3) << c.Picture.width() << " normalised";
      } else {
        EXPECT_EQ(streamed, whole) << c.Picture.width() << "x" << c.Picture.height();
      }
    }
  }
}

// Damaged JPEGs on the streamed road: cut short, a file fails with the decoder's reason and
// leaves no picture; with bytes of its data changed, it is drawn or fails with a reason; an EXIF
// orientation takes the road of the whole picture and comes out upright.
TEST(LoadTilePictureToBitmap, DamagedAndTurnedJpegs) {
  const QString noise = SavePicture(NoiseImage(200, 600, 11), "stream-noise.png");
  const QString progressive = TestPicturePath("stream-progressive.jpg");
  ASSERT_TRUE(Convert({noise, "-quality", "90", "-interlace", "Plane", progressive}));
  const QString baseline = SavePicture(NoiseImage(200, 600, 12), "stream-baseline.jpg", 90);
  for (const QString& file : {baseline, progressive}) {
    const QByteArray whole = ReadTestFile(file);
    QByteArray changed = whole;
    for (qsizetype i = whole.size() / 3; i < whole.size() - 2; i += whole.size() / 7)
      changed[i] = static_cast<char>(changed[i] ^ 0x5A);
    const QString cut = WriteTestFile("cut-stream.jpg", whole.left(whole.size() / 2));
    const QString damaged = WriteTestFile("damaged-stream.jpg", changed);
    for (const bool normalise : {false, true}) {
      TComposeParams params = Screen(100, 300);
      params.Normalize = normalise;
      QImage bitmap = SolidImage(4, 4, 0);
      double factor = 1;
      EXPECT_FALSE(LoadTilePictureToBitmap(cut, bitmap, params, &factor)) << file;
      EXPECT_TRUE(bitmap.isNull());
      EXPECT_EQ(FunStatContext.Description, QStringLiteral("Failed to load picture."));
      EXPECT_EQ(FunStatContext.Parameter2, QStringLiteral("Premature end of JPEG file")) << file;
      EXPECT_EQ(factor, 0.0);

      if (LoadTilePictureToBitmap(damaged, bitmap, params, &factor))
        EXPECT_EQ(bitmap.size(), QSize(100, 300)) << file;
      else
        EXPECT_FALSE(FunStatContext.Parameter2.isEmpty()) << file;
    }
  }

  const QString turned = OrientedJpeg(Quadrants(64, 32), 6, QStringLiteral("stream-turned.jpg"));
  TComposeParams params = Screen(32, 64);
  params.MinStretchSize = 0;
  QImage bitmap;
  ASSERT_TRUE(LoadTilePictureToBitmap(turned, bitmap, params));
  const QImage upright = Quadrants(64, 32).transformed(QTransform().rotate(90));
  for (const QPoint at : {QPoint(8, 16), QPoint(24, 16), QPoint(8, 48), QPoint(24, 48)})
    EXPECT_LE(ChannelDistance(bitmap.pixel(at), upright.pixel(at)), 12) << at.x() << "," << at.y();
}
