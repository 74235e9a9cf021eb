#include "MyGDIPlus/PaintText.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "Error/Error.h"
#include "MyGDIPlus/DrawContext.h"
#include "MyGDIPlus/FontFamilies.h"
#include "MyGDIPlus/Translucency.h"

namespace {

QFont MakeFont(const QString& family, int pixelSize, bool bold, bool italic, bool hinting) {
  QFont font(family);
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  font.setItalic(italic);
  // Grayscale edges: a wallpaper is shown on any screen, whatever its sub-pixel order.
  font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
  font.setHintingPreference(hinting ? QFont::PreferDefaultHinting : QFont::PreferNoHinting);
  return font;
}

// The baseline origin of a one-line text in `rect`, placed as the default string format does:
// 1/6 em of space at each end of the line, and a line box as high as the font's line spacing.
QPointF TextOrigin(const QFontMetricsF& metrics, const QString& text, const QRectF& rect, double em,
                   int alignment, int lineAlignment) {
  const double pad = em / 6;
  const double advance = metrics.horizontalAdvance(text);
  double x = rect.left() + pad;
  if (alignment == saFar)
    x = rect.right() - pad - advance;
  else if (alignment == saCenter)
    x = rect.left() + (rect.width() - advance) / 2;
  const double line = metrics.lineSpacing();
  double top = rect.top();
  if (lineAlignment == saFar)
    top = rect.bottom() - line;
  else if (lineAlignment == saCenter)
    top = rect.top() + (rect.height() - line) / 2;
  return {x, top + metrics.ascent()};
}

void DrawString(TDrawContext& context, const QFont& font, const QString& text, const QRectF& rect,
                QPointF origin, QRgb color) {
  QPainter& painter = context.Graphics;
  if (!painter.isActive()) return context.Fail(dsWrongState);
  painter.save();
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  painter.setClipRect(rect, Qt::IntersectClip);
  painter.setFont(font);
  painter.setPen(QColor::fromRgba(color));
  painter.drawText(origin, text);
  painter.restore();
}

}  // namespace

void PaintText(TDrawContext& context, const QString& text, const QString& fontName,
               int boxFillTranslucency, int32_t boxFillColor, int boxFrameTranslucency,
               int32_t boxFrameColor, bool drawBox, int outlineThickness, bool outline,
               int effectTranslucency, int32_t effectColor, int verticalShadowShift,
               int horizontalShadowShift, bool shadow, int textTranslucency, int32_t textColor,
               int lineAlignment, int alignment, bool italic, bool bold, int fontSize, double x,
               double y, double width, double height) {
  TStatusFrame frame(__FILE__, "PaintText", __LINE__);
  frame.Run([&] {
    const QRectF rect(x, y, width, height);
    if (alignment < saNear || alignment > saFar || lineAlignment < saNear ||
        lineAlignment > saFar) {
      context.Fail(dsInvalidParameter);
      alignment = saNear;
      lineAlignment = saNear;
    }
    const QRgb textArgb = ColorToArgb(textColor, textTranslucency);
    const QRgb effectArgb = ColorToArgb(effectColor, effectTranslucency);
    if (drawBox) {
      FillRectangle(context, ColorToArgb(boxFillColor, boxFillTranslucency), rect);
      DrawRectangle(context, ColorToArgb(boxFrameColor, boxFrameTranslucency), rect);
    }

    // No font, no text: every string operation fails, as it does without a font family.
    bool haveFont = true;
    if (!IsInstalledFontFamily(fontName)) {
      context.Fail(dsFontFamilyNotFound);
      haveFont = false;
    } else if (fontSize <= 0 || !std::isfinite(rect.x()) || !std::isfinite(rect.y()) ||
               !std::isfinite(rect.width()) || !std::isfinite(rect.height())) {
      context.Fail(dsInvalidParameter);
      haveFont = false;
    }
    // Outlines are shapes, not grid-fitted glyphs (and hinting them costs time for nothing).
    const bool pathMode = outline && !shadow;
    const QFont font =
        haveFont ? MakeFont(fontName, fontSize, bold, italic, context.Hinting && !pathMode)
                 : QFont();
    const QFontMetricsF metrics(font, context.Graphics.device());
    const QPointF origin = TextOrigin(metrics, text, rect, fontSize, alignment, lineAlignment);

    if (!pathMode) {
      if (shadow && effectTranslucency < 100) {
        const QPointF shift(horizontalShadowShift, verticalShadowShift);
        if (haveFont)
          DrawString(context, font, text, rect.translated(shift), origin + shift, effectArgb);
        else
          context.Fail(dsInvalidParameter);
      }
      if (textTranslucency < 100) {
        if (haveFont)
          DrawString(context, font, text, rect, origin, textArgb);
        else
          context.Fail(dsInvalidParameter);
      }
      return;
    }

    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    if (haveFont)
      path.addText(origin, font, text);
    else
      context.Fail(dsInvalidParameter);
    if (effectTranslucency < 100) DrawPath(context, path, MakePen(effectArgb, outlineThickness));
    if (textTranslucency < 100) FillPath(context, path, QColor::fromRgba(textArgb));
  });
}
