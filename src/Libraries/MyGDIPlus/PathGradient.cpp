#include "MyGDIPlus/PathGradient.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <vector>

#include "MyGDIPlus/DrawContext.h"

namespace {

constexpr int RampSize = 1024;

// |CP| / |CB| for the boundary point B where the ray from C through P leaves the path; 1 on
// and beyond the boundary.
double BoundaryRatio(const TPathGradient& g, double px, double py) {
  const double cx = g.Center.x();
  const double cy = g.Center.y();
  const double ux = px - cx;
  const double uy = py - cy;
  if (ux == 0 && uy == 0) return 0;
  if (!g.Ellipse) {
    auto axis = [](double u, double low, double high, double c) {
      if (u == 0) return 0.0;
      const double room = u > 0 ? high - c : c - low;
      return room > 0 ? std::abs(u) / room : 1.0;
    };
    const QRect& b = g.Bounds;
    return std::min(1.0, std::max(axis(ux, b.x(), b.x() + b.width(), cx),
                                  axis(uy, b.y(), b.y() + b.height(), cy)));
  }
  // C + s (P - C) on the ellipse: the larger root s is where the ray leaves it.
  const double a = g.Bounds.width() / 2.0;
  const double b = g.Bounds.height() / 2.0;
  const double ex = g.Bounds.x() + a;
  const double ey = g.Bounds.y() + b;
  const double dx = (cx - ex) / a;
  const double dy = (cy - ey) / b;
  const double vx = ux / a;
  const double vy = uy / b;
  const double qa = vx * vx + vy * vy;
  const double qb = 2 * (dx * vx + dy * vy);
  const double qc = dx * dx + dy * dy - 1;
  const double discriminant = qb * qb - 4 * qa * qc;
  if (discriminant < 0) return 1;
  const double s = (-qb + std::sqrt(discriminant)) / (2 * qa);
  return s > 1 ? 1 / s : 1;
}

// Whether P lies in the path scaled about C by (sx, sy).
bool InsideScaled(const TPathGradient& g, double px, double py, double sx, double sy) {
  const double cx = g.Center.x();
  const double cy = g.Center.y();
  if (sx <= 0 || sy <= 0) return px == cx && py == cy;
  return BoundaryRatio(g, cx + (px - cx) / sx, cy + (py - cy) / sy) < 1 || (px == cx && py == cy);
}

std::array<QRgb, RampSize> Ramp(const TPathGradient& g) {
  std::array<QRgb, RampSize> ramp{};
  for (int i = 0; i < RampSize; ++i)
    ramp[i] = qPremultiply(PathGradientColor(g, static_cast<double>(i) / (RampSize - 1)));
  return ramp;
}

}  // namespace

double PathGradientParameter(const TPathGradient& g, double x, double y) {
  const double fx = std::clamp(g.FocusX, 0.0, 1.0);
  const double fy = std::clamp(g.FocusY, 0.0, 1.0);
  const double ratio = BoundaryRatio(g, x, y);
  if (ratio >= 1) return 0;
  if (fx == fy) return fx >= 1 ? 1 : std::min(1.0, (1 - ratio) / (1 - fx));
  if (!g.Ellipse) {
    // Each side moves in on its own: the larger axis ratio decides.
    const double cx = g.Center.x();
    const double cy = g.Center.y();
    const double rx = BoundaryRatio(g, x, cy);
    const double ry = BoundaryRatio(g, cx, y);
    const double tx = fx >= 1 ? 1.0 : (1 - rx) / (1 - fx);
    const double ty = fy >= 1 ? 1.0 : (1 - ry) / (1 - fy);
    return std::clamp(std::min(tx, ty), 0.0, 1.0);
  }
  // The largest t whose path, scaled by (1 - t (1 - fx), 1 - t (1 - fy)), still holds the point.
  if (InsideScaled(g, x, y, fx, fy)) return 1;
  double low = 0;
  double high = 1;
  for (int i = 0; i < 14; ++i) {
    const double t = (low + high) / 2;
    if (InsideScaled(g, x, y, 1 - t * (1 - fx), 1 - t * (1 - fy)))
      low = t;
    else
      high = t;
  }
  return low;
}

QRgb PathGradientColor(const TPathGradient& g, double t) {
  if (!(t < 1)) return g.Colors[7];
  t = std::max(t, 0.0);
  for (size_t i = 0; i + 1 < g.Colors.size(); ++i) {
    const double from = g.Positions[i];
    const double to = g.Positions[i + 1];
    if (to <= from || t > to) continue;
    const double f = std::clamp((t - from) / (to - from), 0.0, 1.0);
    const QRgb a = g.Colors[i];
    const QRgb b = g.Colors[i + 1];
    auto mix = [f](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * f)); };
    return qRgba(mix(qRed(a), qRed(b)), mix(qGreen(a), qGreen(b)), mix(qBlue(a), qBlue(b)),
                 mix(qAlpha(a), qAlpha(b)));
  }
  return g.Colors[7];
}

void FillPathGradient(TDrawContext& context, const TPathGradient& g) {
  QPainter& painter = context.Graphics;
  if (!painter.isActive()) return context.Fail(dsWrongState);
  if (g.Bounds.width() <= 0 || g.Bounds.height() <= 0) return;
  const QPaintDevice* device = painter.device();
  // The ellipse's antialiased edge reaches one pixel column and row further.
  const QRect reach = g.Ellipse ? g.Bounds.adjusted(0, 0, 1, 1) : g.Bounds;
  const QRect visible = reach & QRect(0, 0, device->width(), device->height());
  if (visible.isEmpty()) return;

  const std::array<QRgb, RampSize> ramp = Ramp(g);
  QImage tile(visible.size(), QImage::Format_ARGB32_Premultiplied);
  for (int row = 0; row < visible.height(); ++row) {
    QRgb* line = reinterpret_cast<QRgb*>(tile.scanLine(row));
    const double y = visible.y() + row;
    for (int column = 0; column < visible.width(); ++column) {
      const double t = PathGradientParameter(g, visible.x() + column, y);
      line[column] = ramp[static_cast<int>(t * (RampSize - 1) + 0.5)];
    }
  }
  QPainterPath path;
  if (g.Ellipse)
    path.addEllipse(QRectF(g.Bounds));
  else
    path.addRect(QRectF(g.Bounds));
  QBrush brush(tile);
  // Smooth mode shifts the painter by half a pixel; the tile stays on the bitmap's pixels.
  const double shift = context.Smooth ? -0.5 : 0.0;
  brush.setTransform(QTransform::fromTranslate(visible.x() + shift, visible.y() + shift));
  FillPath(context, path, brush);
}
