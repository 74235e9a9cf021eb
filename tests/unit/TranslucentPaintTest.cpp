// Translucent colours, the shapes of the drawing context and text with its effects, probed on
// small images.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QPalette>
#include <functional>

#include "MyGDIPlus/DrawContext.h"
#include "MyGDIPlus/PaintText.h"
#include "MyGDIPlus/Translucency.h"
#include "PaintProbes.h"
#include "PictureFiles.h"

namespace {

constexpr QRgb Black = 0xFF000000u;

QImage Canvas(int width = 40, int height = 30, QRgb colour = Black) {
  return SolidImage(width, height, colour);
}

QImage Painted(const std::function<void(TDrawContext&)>& paint, int* status = nullptr,
               bool smooth = true, QImage image = Canvas()) {
  return PaintedWith(image, paint, smooth, status);
}

// Text of the calendar's kind: white "28", effect colour red, in a 60 x 40 box, centred.
struct TTextCase {
  bool Shadow = false;
  bool Outline = false;
  int EffectTranslucency = 0;
  int TextTranslucency = 0;
  QString Font = QStringLiteral("DejaVu Sans");
  bool Box = false;
};
constexpr int32_t Red = 0x0000FF;
constexpr int32_t White = 0xFFFFFF;

QImage PaintedText(const TTextCase& c, int* status = nullptr) {
  return Painted(
      [&](TDrawContext& context) {
        PaintText(context, QStringLiteral("28"), c.Font, 0, 0x00FF00, 0, 0xFF0000, c.Box, 3,
                  c.Outline, c.EffectTranslucency, Red, 3, 3, c.Shadow, c.TextTranslucency, White,
                  saCenter, saCenter, false, true, 24, 10, 5, 60, 40);
      },
      status, true, Canvas(80, 55));
}

// How many pixels are close to `colour` (within 40 per channel).
int CountNear(const QImage& image, QRgb colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      if (std::abs(qRed(p) - qRed(colour)) < 40 && std::abs(qGreen(p) - qGreen(colour)) < 40 &&
          std::abs(qBlue(p) - qBlue(colour)) < 40)
        ++count;
    }
  return count;
}

// The bounding box of the pixels that differ from the background.
QRect Inked(const QImage& image, QRgb background = Black) {
  return ChangedBox(Canvas(image.width(), image.height(), background), image);
}

}  // namespace

TEST(TranslucencyToAlpha, ListItemsRoundExactHalvesUpAndOutOfRangeIsClamped) {
  const int alphas[] = {255, 242, 230, 217, 204, 191, 179, 166, 153, 140, 128,
                        115, 102, 89,  77,  64,  51,  38,  26,  13,  0};
  for (int i = 0; i <= 20; ++i) EXPECT_EQ(TranslucencyToAlpha(i * 5), alphas[i]) << i * 5;
  EXPECT_EQ(TranslucencyToAlpha(-10), 255);
  EXPECT_EQ(TranslucencyToAlpha(120), 0);
  EXPECT_EQ(TranslucencyToAlpha(INT32_MIN), 255);
  EXPECT_EQ(TranslucencyToAlpha(INT32_MAX), 0);
}

TEST(ColorToArgb, PlainSystemAndNoColour) {
  // Red in the low byte of the colour value, red in bits 16-23 of the result.
  EXPECT_EQ(ColorToArgb(1666745, 30), 0xB3B96E19u);  // (185, 110, 25) at 179
  EXPECT_EQ(ColorToArgb(0x0000FF, 0), 0xFFFF0000u);
  EXPECT_EQ(ColorToArgb(0xFF0000, 100), 0x000000FFu);
  // A system colour is what its panel shows: window background (index 5) is the palette's base.
  const QColor base = QApplication::palette().color(QPalette::Base);
  EXPECT_EQ(ColorToArgb(static_cast<int32_t>(0x80000005u), 0), base.rgb() | 0xFF000000u);
  EXPECT_EQ(qAlpha(ColorToArgb(0x1FFFFFFF, 0)), 0) << "no colour paints nothing";
}

TEST(DrawContext, OutlinesCoverOneMorePixelThanFillsInBothSmoothingModes) {
  for (const bool smooth : {true, false}) {
    const QImage frame =
        Painted([](TDrawContext& c) { DrawRectangle(c, 0xFFFFFFFFu, QRectF(5, 4, 10, 8)); },
                nullptr, smooth);
    EXPECT_EQ(Inked(frame), QRect(5, 4, 11, 9)) << smooth;
    for (const QPoint p :
         {QPoint(5, 8), QPoint(15, 8), QPoint(10, 4), QPoint(10, 12), QPoint(5, 4), QPoint(15, 12)})
      EXPECT_EQ(frame.pixel(p), 0xFFFFFFFFu) << smooth << " " << p.x() << "," << p.y();
    EXPECT_EQ(frame.pixel(10, 8), Black) << "the frame is not filled";

    const QImage fill =
        Painted([](TDrawContext& c) { FillRectangle(c, 0xFFFFFFFFu, QRectF(5, 4, 10, 8)); },
                nullptr, smooth);
    long long coverage = 0;
    for (int y = 0; y < fill.height(); ++y)
      for (int x = 0; x < fill.width(); ++x) coverage += qRed(fill.pixel(x, y));
    EXPECT_NEAR(coverage / 255.0, 80.0, 0.5) << "a fill covers w x h pixels, smooth " << smooth;
    if (!smooth) {
      EXPECT_EQ(Inked(fill), QRect(5, 4, 10, 8));
    }
  }
}

TEST(DrawContext, TranslucentFillBlendsAsTheAlphaSays) {
  for (const int translucency : {0, 30, 50, 90, 100}) {
    const QImage image = Painted(
        [&](TDrawContext& c) {
          FillRectangle(c, ColorToArgb(0xFFFFFF, translucency), QRectF(2, 2, 20, 20));
        },
        nullptr, false, Canvas(30, 30, qRgb(0, 100, 200)));
    const int a = TranslucencyToAlpha(translucency);
    const QRgb p = image.pixel(10, 10);
    EXPECT_NEAR(qRed(p), a, 1) << translucency;
    EXPECT_NEAR(qGreen(p), 100 + (255 - 100) * a / 255.0, 1) << translucency;
    EXPECT_NEAR(qBlue(p), 200 + (255 - 200) * a / 255.0, 1) << translucency;
  }
}

TEST(DrawContext, AFinishedPainterAndBadCoordinatesOnlyRecordAStatus) {
  int status = 0;
  const QImage image = Painted(
      [](TDrawContext& c) {
        FillRectangle(c, 0xFFFFFFFFu, QRectF(0, 0, qInf(), 3));
        EXPECT_EQ(c.LastStatus, dsInvalidParameter);
        FillRectangle(c, 0xFFFFFFFFu, QRectF(1, 1, 3, 3));  // still painted
        c.Graphics.end();
        DrawEllipse(c, 0xFFFFFFFFu, QRectF(1, 1, 3, 3));
      },
      &status, false);
  EXPECT_EQ(status, dsWrongState);
  EXPECT_EQ(Inked(image), QRect(1, 1, 3, 3));
}

TEST(PaintText, EffectsDifferWhereTheyMust) {
  int status = -1;
  const QImage plain = PaintedText({}, &status);
  EXPECT_EQ(status, dsOk);
  EXPECT_GT(CountNear(plain, qRgb(255, 255, 255)), 20);
  EXPECT_EQ(CountNear(plain, qRgb(255, 0, 0)), 0);

  // Shadow: red text under the white, moved by (3, 3); clipped to the moved rectangle.
  const QImage shadow = PaintedText({.Shadow = true});
  EXPECT_GT(CountNear(shadow, qRgb(255, 0, 0)), 20);
  EXPECT_EQ(Inked(shadow).bottomRight(), Inked(plain).bottomRight() + QPoint(3, 3));
  EXPECT_EQ(Inked(shadow).topLeft(), Inked(plain).topLeft());
  // Shadow wins over outline; an invisible shadow leaves the plain text.
  EXPECT_EQ(PaintedText({.Shadow = true, .Outline = true}), shadow);
  EXPECT_EQ(PaintedText({.Shadow = true, .EffectTranslucency = 100}), plain);
  EXPECT_EQ(PaintedText({.Outline = false, .EffectTranslucency = 100}), plain);

  // Outline: a red stroke around the white fill, so the ink grows on every side.
  const QImage outline = PaintedText({.Outline = true});
  EXPECT_GT(CountNear(outline, qRgb(255, 0, 0)), 20);
  EXPECT_GT(CountNear(outline, qRgb(255, 255, 255)), 10);
  EXPECT_TRUE(Inked(outline).contains(Inked(plain).adjusted(1, 1, -1, -1)));
  EXPECT_LT(Inked(outline).left(), Inked(plain).left());
  EXPECT_GT(Inked(outline).bottom(), Inked(plain).bottom());
  // Text translucency 100: only the stroke remains.
  const QImage stroke = PaintedText({.Outline = true, .TextTranslucency = 100});
  EXPECT_GT(CountNear(stroke, qRgb(255, 0, 0)), 20);
  EXPECT_EQ(CountNear(stroke, qRgb(255, 255, 255)), 0);
  EXPECT_EQ(Inked(stroke), Inked(outline));
}

TEST(PaintText, AMissingFontDrawsNoTextButTheBox) {
  for (const bool outline : {false, true}) {
    int status = 0;
    const QImage image = PaintedText(
        {.Outline = outline, .Font = QStringLiteral("No Such Font 42"), .Box = true}, &status);
    EXPECT_NE(status, dsOk) << outline;
    // The box: filled green, framed blue over (10, 5, 60, 40); no white or red anywhere.
    EXPECT_EQ(Inked(image), QRect(10, 5, 61, 41)) << outline;
    EXPECT_EQ(image.pixel(40, 25), qRgb(0, 255, 0)) << outline;
    EXPECT_EQ(image.pixel(10, 25), qRgb(0, 0, 255)) << outline;
    EXPECT_EQ(image.pixel(70, 25), qRgb(0, 0, 255)) << outline;
    EXPECT_EQ(CountNear(image, qRgb(255, 255, 255)), 0) << outline;
    EXPECT_EQ(CountNear(image, qRgb(255, 0, 0)), 0) << outline;
  }
}

TEST(PaintText, ALineKeepsASixthOfAnEmFreeAtEachEndAndIsAsHighAsItsLineSpacing) {
  // In a rectangle exactly one padded line wide and high, every alignment puts the text at the
  // same place.
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(30);
  font.setBold(true);
  font.setHintingPreference(QFont::PreferNoHinting);
  QImage probe = Canvas(200, 100);
  const QFontMetricsF metrics(font, &probe);
  const double width = metrics.horizontalAdvance(QStringLiteral("Wq")) + 30.0 / 3;
  const double height = metrics.lineSpacing();
  QImage first;
  for (const int alignment : {saNear, saCenter, saFar})
    for (const int line : {saNear, saCenter, saFar}) {
      const QImage image = Painted(
          [&](TDrawContext& c) {
            PaintText(c, QStringLiteral("Wq"), QStringLiteral("DejaVu Sans"), 0, 0, 0, 0, false, 1,
                      false, 0, 0, 0, 0, false, 0, White, line, alignment, false, true, 30, 20.25,
                      10.5, width, height);
          },
          nullptr, true, Canvas(200, 100));
      EXPECT_FALSE(Inked(image).isEmpty());
      if (first.isNull())
        first = image;
      else
        EXPECT_EQ(image, first) << alignment << " " << line;
    }
}
