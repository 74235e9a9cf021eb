#include "MyGDIPlus/LinearGradient.h"

#include <QImage>
#include <QPainter>
#include <cmath>

#include "MyGDIPlus/DrawContext.h"

void FillHorizontalGradient(TDrawContext& context, const QRect& rect, QRgb left, QRgb right) {
  QPainter& painter = context.Graphics;
  if (!painter.isActive()) return context.Fail(dsWrongState);
  const QPaintDevice* device = painter.device();
  const QRect visible = rect & QRect(0, 0, device->width(), device->height());
  if (visible.isEmpty()) return;
  QImage row(visible.width(), 1, QImage::Format_ARGB32_Premultiplied);
  QRgb* pixels = reinterpret_cast<QRgb*>(row.scanLine(0));
  for (int column = 0; column < visible.width(); ++column) {
    // Pixel centres lie on whole coordinates: the first column is the left colour itself.
    const double f = static_cast<double>(visible.x() + column - rect.x()) / rect.width();
    auto mix = [f](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * f)); };
    pixels[column] =
        qPremultiply(qRgba(mix(qRed(left), qRed(right)), mix(qGreen(left), qGreen(right)),
                           mix(qBlue(left), qBlue(right)), mix(qAlpha(left), qAlpha(right))));
  }
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(visible, row);
  painter.restore();
}
