// Painting through a drawing context on small images, and finding what it changed.
#pragma once

#include <QImage>
#include <QPainter>
#include <functional>

#include "MyGDIPlus/DrawContext.h"

// `image` after `paint` drew on it, in the smoothing mode given, with hinting off so that pixels
// do not depend on the machine's font settings; `status` gets the context's last status.
inline QImage PaintedWith(QImage image, const std::function<void(TDrawContext&)>& paint,
                          bool smooth = true, int* status = nullptr) {
  QPainter painter(&image);
  TDrawContext context(painter);
  context.Smooth = smooth;
  context.Hinting = false;
  paint(context);
  painter.end();
  if (status) *status = context.LastStatus;
  return image;
}

// The bounding box of the pixels that differ.
inline QRect ChangedBox(const QImage& before, const QImage& after) {
  QRect box;
  for (int y = 0; y < after.height(); ++y)
    for (int x = 0; x < after.width(); ++x)
      if (before.pixel(x, y) != after.pixel(x, y)) box |= QRect(x, y, 1, 1);
  return box;
}
