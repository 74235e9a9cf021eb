// Resampling properties: constant pictures stay exact up to the edges, fine detail averages
// out instead of aliasing, rows do not depend on how the work is split or on the picture arriving
// row by row, tiles repeat exactly.
#include <gtest/gtest.h>

#include <algorithm>

#include "MyGDIPlus/ParallelRows.h"
#include "PictureFiles.h"
#include "MyGDIPlus/Resample.h"

namespace {

// Every pixel of `rect` in `image` has the colour `colour`.
::testing::AssertionResult AllPixels(const QImage& image, const QRect& rect, QRgb colour) {
  for (int y = rect.top(); y <= rect.bottom(); ++y)
    for (int x = rect.left(); x <= rect.right(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) != (colour & 0xFFFFFF))
        return ::testing::AssertionFailure()
               << "pixel " << x << "," << y << " is " << std::hex << image.pixel(x, y);
  return ::testing::AssertionSuccess();
}

}  // namespace

TEST(Resample, ConstantPictureStaysExactWhenShrunkOrEnlarged) {
  const QRgb colour = qRgb(37, 150, 201);
  const QRgb fill = qRgb(0, 0, 0);
  struct Case {
    QSize Picture;
    QRect Target;
  };
  for (const Case& c : {Case{{1000, 700}, {5, 7, 123, 77}}, Case{{7, 5}, {0, 0, 640, 480}},
                        Case{{1, 1}, {3, 3, 50, 20}}, Case{{300, 2}, {0, 0, 33, 250}}}) {
    const QImage picture = SolidImage(c.Picture.width(), c.Picture.height(), colour);
    QImage canvas = SolidImage(c.Target.right() + 4, c.Target.bottom() + 4, fill);
    DrawPictureRect(picture, QRectF(QPointF(0, 0), QSizeF(c.Picture)), canvas, c.Target, nullptr);
    EXPECT_TRUE(AllPixels(canvas, c.Target, colour))
        << c.Picture.width() << "x" << c.Picture.height();
    // Nothing outside the target is touched.
    EXPECT_TRUE(AllPixels(canvas, QRect(0, c.Target.bottom() + 1, canvas.width(), 3), fill));
    EXPECT_TRUE(AllPixels(canvas, QRect(c.Target.right() + 1, 0, 3, canvas.height()), fill));
  }
}

TEST(Resample, EdgesAreNotDarkened) {
  // A bright frame around dark content: the outermost output pixels keep the frame's colour.
  QImage picture = SolidImage(400, 300, qRgb(250, 250, 250));
  for (int y = 40; y < 260; ++y)
    for (int x = 40; x < 360; ++x) picture.setPixel(x, y, qRgb(10, 10, 10));
  for (const QSize size : {QSize(40, 30), QSize(1200, 900)}) {
    QImage canvas = SolidImage(size.width(), size.height(), qRgb(0, 0, 0));
    DrawPictureRect(picture, QRectF(0, 0, 400, 300), canvas, canvas.rect(), nullptr);
    for (int x = 0; x < size.width(); ++x) {
      EXPECT_EQ(canvas.pixel(x, 0), qRgb(250, 250, 250)) << x;
      EXPECT_EQ(canvas.pixel(x, size.height() - 1), qRgb(250, 250, 250)) << x;
    }
    for (int y = 0; y < size.height(); ++y) {
      EXPECT_EQ(canvas.pixel(0, y), qRgb(250, 250, 250)) << y;
      EXPECT_EQ(canvas.pixel(size.width() - 1, y), qRgb(250, 250, 250)) << y;
    }
  }
}

TEST(Resample, LargeReductionOfACheckerboardIsUniformGrey) {
  QImage picture(2000, 1600, QImage::Format_RGB32);
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x)
      picture.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
  for (const QSize size : {QSize(100, 80), QSize(137, 91), QSize(700, 560)}) {
    QImage canvas = SolidImage(size.width(), size.height(), qRgb(255, 0, 0));
    DrawPictureRect(picture, QRectF(0, 0, 2000, 1600), canvas, canvas.rect(), nullptr);
    // Inside, every output pixel sees whole periods of the pattern: 127.5 give or take
    // rounding. The kernel is cut at the picture's edges, which leaves a slight bias there.
    const QRect inside = canvas.rect().adjusted(3, 3, -3, -3);
    for (int y = 0; y < size.height(); ++y)
      for (int x = 0; x < size.width(); ++x) {
        const QRgb p = canvas.pixel(x, y);
        ASSERT_TRUE(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p));
        const int tolerance = inside.contains(x, y) ? 1 : 4;
        ASSERT_NEAR(qRed(p), 127.5, tolerance + 0.5) << size.width() << ": " << x << "," << y;
      }
  }
}

TEST(Resample, RowsDoNotDependOnHowTheWorkIsSplit) {
  const QImage picture = NoiseImage(911, 601, 9);
  const QRect target(0, 0, 389, 517);
  QImage whole = SolidImage(389, 517, 0);
  DrawPictureRect(picture, QRectF(3.5, 10.25, 900, 580), whole, target, nullptr);
  // The same target drawn through canvases that each hold a band of rows.
  for (const int band : {1, 50, 130}) {
    for (int top = 0; top < 517; top += band) {
      QImage strip = SolidImage(389, band, 0);
      DrawPictureRect(picture, QRectF(3.5, 10.25, 900, 580), strip, target.translated(0, -top),
                      nullptr);
      for (int y = 0; y < band && top + y < 517; ++y)
        ASSERT_EQ(std::memcmp(strip.constScanLine(y), whole.constScanLine(top + y), 389 * 4), 0)
            << "row " << top + y << " band " << band;
    }
  }
}

// A picture handed out row by row comes out as when drawn whole, reduced or enlarged and clipped;
// its rows are asked for from the top down and never above the last release, and a row that
// never comes stops the drawing.
TEST(Resample, PictureArrivingRowByRowIsDrawnAsAWhole) {
  const QImage picture = NoiseImage(300, 200, 21);
  const QRectF source(2.5, 4, 290, 190);
  uint8_t gamma[256];
  for (int i = 0; i < 256; ++i) gamma[i] = static_cast<uint8_t>(255 - i);
  for (const QRect& target : {QRect(0, 0, 120, 80), QRect(-10, 5, 400, 260)}) {
    QImage whole = SolidImage(160, 120, qRgb(1, 2, 3));
    QImage streamed = whole;
    DrawPictureRect(picture, source, whole, target, gamma);
    int released = 0;
    int asked = 0;
    bool inOrder = true;
    const auto row = [&](int y) {
      inOrder = inOrder && y >= released && y >= asked - 16;
      asked = std::max(asked, y);
      return picture.constScanLine(y);
    };
    const auto release = [&](int y) {
      inOrder = inOrder && y >= released;
      released = y;
    };
    ASSERT_TRUE(DrawPictureRows(picture.size(), row, release, source, streamed, target, gamma));
    EXPECT_EQ(streamed, whole) << target.width();
    EXPECT_TRUE(inOrder);
    EXPECT_GT(released, 50);  // rows were let go of as the drawing went down
  }
  QImage canvas = SolidImage(160, 120, qRgb(1, 2, 3));
  const auto cut = [&](int y) { return y < 100 ? picture.constScanLine(y) : nullptr; };
  EXPECT_FALSE(DrawPictureRows(picture.size(), cut, {}, source, canvas, canvas.rect(), nullptr));
  EXPECT_NE(canvas.pixel(5, 5), qRgb(1, 2, 3));  // the rows that came are drawn
  EXPECT_EQ(canvas.pixel(5, 115), qRgb(1, 2, 3));
}

TEST(Resample, EnlargingInterpolatesBetweenPixels) {
  QImage picture(2, 1, QImage::Format_RGB32);
  picture.setPixel(0, 0, qRgb(0, 0, 0));
  picture.setPixel(1, 0, qRgb(200, 200, 200));
  QImage canvas = SolidImage(100, 1, 0);
  DrawPictureRect(picture, QRectF(0, 0, 2, 1), canvas, canvas.rect(), nullptr);
  // Beyond the pixel centres (x 25 and 75) the edge pixels repeat; Catmull-Rom's slight
  // overshoot at a step is all that differs from them.
  EXPECT_EQ(qRed(canvas.pixel(0, 0)), 0);
  EXPECT_NEAR(qRed(canvas.pixel(99, 0)), 200, 15);
  for (int x = 1; x < 75; ++x) EXPECT_GE(qRed(canvas.pixel(x, 0)), qRed(canvas.pixel(x - 1, 0)));
  EXPECT_NEAR(qRed(canvas.pixel(49, 0)) + qRed(canvas.pixel(50, 0)), 200, 2);
}

TEST(Resample, TranslucentPicturesBlendAndGammaSparesTheCanvas) {
  const QImage picture =
      PrepareForDrawing(SolidImage(10, 10, qRgba(255, 0, 0, 128), QImage::Format_ARGB32));
  QImage canvas = SolidImage(20, 10, qRgb(0, 0, 255));
  DrawPictureRect(picture, QRectF(0, 0, 10, 10), canvas, QRect(0, 0, 10, 10), nullptr);
  EXPECT_LE(ChannelDistance(canvas.pixel(5, 5), qRgb(128, 0, 127)), 1);
  EXPECT_EQ(canvas.pixel(15, 5), qRgb(0, 0, 255));

  uint8_t half[256];
  for (int c = 0; c < 256; ++c) half[c] = static_cast<uint8_t>(c / 2);
  const QImage clear =
      PrepareForDrawing(SolidImage(10, 10, qRgba(0, 0, 0, 0), QImage::Format_ARGB32));
  DrawPictureRect(clear, QRectF(0, 0, 10, 10), canvas, QRect(10, 0, 10, 10), half);
  EXPECT_EQ(canvas.pixel(15, 5), qRgb(0, 0, 255));
}

TEST(Resample, TileRepeatsExactly) {
  const QImage tile = NoiseImage(13, 7, 21);
  QImage canvas = SolidImage(100, 45, 0);
  for (int y = 0; y < 7; ++y) std::memcpy(canvas.scanLine(y), tile.constScanLine(y), 13 * 4);
  TilePicture(canvas, QSize(13, 7));
  for (int y = 0; y < 45; ++y)
    for (int x = 0; x < 100; ++x) ASSERT_EQ(canvas.pixel(x, y), tile.pixel(x % 13, y % 7));
  // A tile larger than the canvas changes nothing.
  const QImage before = canvas;
  TilePicture(canvas, QSize(500, 500));
  EXPECT_EQ(canvas, before);
}

TEST(ParallelRows, CoversEveryRowOnceAndPassesFailuresOn) {
  std::vector<int> seen(1000, 0);
  ParallelRows(1000, 10, [&](int begin, int end) {
    for (int row = begin; row < end; ++row) ++seen[static_cast<size_t>(row)];
  });
  EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](int n) { return n == 1; }));
  EXPECT_THROW(ParallelRows(1000, 10,
                            [](int begin, int) {
                              if (begin == 0) throw std::runtime_error("band failed");
                            }),
               std::runtime_error);
}
