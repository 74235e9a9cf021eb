#include "MyGDIPlus/DrawContext.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

bool Finite(const QRectF& rect) {
  return std::isfinite(rect.x()) && std::isfinite(rect.y()) && std::isfinite(rect.width()) &&
         std::isfinite(rect.height());
}

// Runs `draw` with the painter set to the context's smoothing mode. Qt puts pixel centres at
// i + 0.5, the imaging library at i: antialiased shapes are shifted by half a pixel to match.
template <class TDraw>
void Draw(TDrawContext& context, bool valid, TDraw draw) {
  QPainter& painter = context.Graphics;
  if (!painter.isActive()) {
    context.Fail(dsWrongState);
    return;
  }
  if (!valid) {
    context.Fail(dsInvalidParameter);
    return;
  }
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, context.Smooth);
  if (context.Smooth) painter.translate(0.5, 0.5);
  draw(painter);
  painter.restore();
}

// Strokes as the outline's area filled: Qt draws thin pens with a line drawer that leaves the
// corners of a frame partly uncovered, where the joins must fill them.
void Stroke(QPainter& painter, const QPainterPath& path, const QPen& pen, bool smooth) {
  if (!smooth) {
    painter.strokePath(path, pen);
    return;
  }
  QPainterPathStroker stroker(pen);
  painter.fillPath(stroker.createStroke(path), pen.brush());
}

}  // namespace

QPen MakePen(QRgb color, double width) {
  QPen pen(QColor::fromRgba(color), width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
  // The imaging library's limit of 10 widths grows long spikes from the sharp corners of
  // italic glyph outlines (the "M" of "Mon"); 2 widths keeps the corners sharp without them.
  pen.setMiterLimit(2);
  return pen;
}

void FillRectangle(TDrawContext& context, QRgb color, const QRectF& rect) {
  Draw(context, Finite(rect),
       [&](QPainter& painter) { painter.fillRect(rect, QColor::fromRgba(color)); });
}

void DrawRectangle(TDrawContext& context, QRgb color, const QRectF& rect) {
  Draw(context, Finite(rect), [&](QPainter& painter) {
    if (!context.Smooth) {
      painter.setPen(MakePen(color, 1.0));
      painter.setBrush(Qt::NoBrush);
      painter.drawRect(rect);
      return;
    }
    QPainterPath path;
    path.addRect(rect);
    Stroke(painter, path, MakePen(color, 1.0), true);
  });
}

void FillEllipse(TDrawContext& context, QRgb color, const QRectF& rect) {
  Draw(context, Finite(rect), [&](QPainter& painter) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgba(color));
    painter.drawEllipse(rect);
  });
}

void DrawEllipse(TDrawContext& context, QRgb color, const QRectF& rect) {
  Draw(context, Finite(rect), [&](QPainter& painter) {
    QPainterPath path;
    path.addEllipse(rect);
    Stroke(painter, path, MakePen(color, 1.0), context.Smooth);
  });
}

void FillPath(TDrawContext& context, const QPainterPath& path, const QBrush& brush) {
  Draw(context, true, [&](QPainter& painter) { painter.fillPath(path, brush); });
}

void DrawPath(TDrawContext& context, const QPainterPath& path, const QPen& pen) {
  Draw(context, true, [&](QPainter& painter) { Stroke(painter, path, pen, context.Smooth); });
}
