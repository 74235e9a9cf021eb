#include "MyGDIPlus/PathGradient.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <vector>

#include "MyGDIPlus/DrawContext.h"
#include "MyGDIPlus/ParallelRows.h"

namespace {

constexpr int RampSize = 1024;

// The ramp parameter for every point of one gradient, with what does not depend on the point
// worked out once.
class TGradientKernel {
 public:
  explicit TGradientKernel(const TPathGradient& g)
      : Ellipse(g.Ellipse),
        Cx(g.Center.x()),
        Cy(g.Center.y()),
        Left(g.Bounds.x()),
        Top(g.Bounds.y()),
        Right(g.Bounds.x() + g.Bounds.width()),
        Bottom(g.Bounds.y() + g.Bounds.height()),
        A(g.Bounds.width() / 2.0),
        B(g.Bounds.height() / 2.0),
        Fx(std::clamp(g.FocusX, 0.0, 1.0)),
        Fy(std::clamp(g.FocusY, 0.0, 1.0)) {
    InvA = A > 0 ? 1 / A : 0;
    InvB = B > 0 ? 1 / B : 0;
    // The ellipse's centre seen from C, in units of its semi-axes.
    Ex = Left + A - Cx;
    Ey = Top + B - Cy;
    Dx = -Ex * InvA;
    Dy = -Ey * InvB;
    Qc = Dx * Dx + Dy * Dy - 1;
  }

  // `guess` starts the search of unequal focus scales on the ellipse (a neighbour's answer).
  double Parameter(double x, double y, double guess) const {
    if (Fx != Fy && Ellipse) return EllipseFocus(x - Cx, y - Cy, guess);
    const double ratio = Ratio(x, y);
    if (ratio >= 1) return 0;
    if (Fx == Fy) return Fx >= 1 ? 1 : std::min(1.0, (1 - ratio) / (1 - Fx));
    // Each side of the rectangle moves in on its own: the nearer one decides.
    const double tx = Fx >= 1 ? 1.0 : (1 - Ratio(x, Cy)) / (1 - Fx);
    const double ty = Fy >= 1 ? 1.0 : (1 - Ratio(Cx, y)) / (1 - Fy);
    return std::clamp(std::min(tx, ty), 0.0, 1.0);
  }

 private:
  // |CP| / |CB| for the boundary point B where the ray from C through P leaves the path; 1 on
  // and beyond the boundary, also when C itself is on or outside it.
  double Ratio(double px, double py) const {
    const double ux = px - Cx;
    const double uy = py - Cy;
    if (ux == 0 && uy == 0) return 0;
    if (!Ellipse) {
      auto axis = [](double u, double room) { return room > 0 ? std::abs(u) / room : 1.0; };
      const double rx = ux == 0 ? 0 : axis(ux, ux > 0 ? Right - Cx : Cx - Left);
      const double ry = uy == 0 ? 0 : axis(uy, uy > 0 ? Bottom - Cy : Cy - Top);
      return std::min(1.0, std::max(rx, ry));
    }
    // C + s (P - C) on the ellipse: the larger root s is where the ray leaves it; the ratio
    // is 1 / s.
    const double vx = ux * InvA;
    const double vy = uy * InvB;
    const double qa = vx * vx + vy * vy;
    const double qb = 2 * (Dx * vx + Dy * vy);
    const double discriminant = qb * qb - 4 * qa * Qc;
    if (discriminant < 0) return 1;
    const double twiceS = -qb + std::sqrt(discriminant);  // 2 qa s
    return twiceS > 2 * qa ? 2 * qa / twiceS : 1;
  }

  // For unequal focus scales on the ellipse: the largest t at which the ellipse scaled about C
  // by (1 - t (1 - fx), 1 - t (1 - fy)) still holds P = C + (x, y). Scaling shrinks the path
  // about C, so P is inside up to one crossing, found by Newton's method kept within a
  // bisection bracket.
  double EllipseFocus(double x, double y, double guess) const {
    const double kx = 1 - Fx;
    const double ky = 1 - Fy;
    // g(t) - 1 and its slope; +infinity where a scale reaches 0 with P off that axis.
    auto excess = [&](double t, double* slope) {
      const double sx = 1 - t * kx;
      const double sy = 1 - t * ky;
      if ((sx <= 0 && x != 0) || (sy <= 0 && y != 0)) return HUGE_VAL;
      const double ix = sx > 0 ? 1 / sx : 0;
      const double iy = sy > 0 ? 1 / sy : 0;
      const double qx = (x * ix - Ex) * InvA;
      const double qy = (y * iy - Ey) * InvB;
      if (slope) *slope = 2 * (qx * InvA * x * kx * ix * ix + qy * InvB * y * ky * iy * iy);
      return qx * qx + qy * qy - 1;
    };
    // Outside the path itself: the boundary colour (no division needed at t = 0).
    const double ox = (x - Ex) * InvA;
    const double oy = (y - Ey) * InvB;
    if (ox * ox + oy * oy > 1) return 0;
    // Newton's method from the neighbour's answer mostly settles in two steps; where it
    // would leave (0, 1) or stalls, the bracketed search below decides.
    double t = guess > 0 && guess < 1 ? guess : 0.5;
    for (int i = 0; i < 6; ++i) {
      double slope = 0;
      const double e = excess(t, &slope);
      if (!(e < HUGE_VAL) || !(slope > 0)) break;
      const double next = t - e / slope;
      if (!(next > 0 && next < 1)) break;
      // Newton's error after a step of d is of the order d squared: a step below 1/1000
      // leaves far less than the ramp's 1/1023 resolution.
      if (std::abs(next - t) < 1e-3) return next;
      t = next;
    }
    if (excess(1, nullptr) <= 0) return 1;
    double low = 0;
    double high = 1;
    for (int i = 0; i < 40 && high - low > 1e-4; ++i) {
      double slope = 0;
      const double e = excess(t, &slope);
      if (e <= 0)
        low = t;
      else
        high = t;
      double next = e < HUGE_VAL && slope > 0 ? t - e / slope : -1;
      if (!(next > low && next < high)) next = (low + high) / 2;
      const bool settled = std::abs(next - t) < 1e-5;
      t = next;
      if (settled) break;
    }
    return std::clamp(t, low, high);
  }

  bool Ellipse;
  double Cx, Cy, Left, Top, Right, Bottom, A, B, Fx, Fy;
  double InvA = 0, InvB = 0, Ex = 0, Ey = 0, Dx = 0, Dy = 0, Qc = 0;
};

std::array<QRgb, RampSize> Ramp(const TPathGradient& g) {
  std::array<QRgb, RampSize> ramp{};
  for (int i = 0; i < RampSize; ++i)
    ramp[i] = qPremultiply(PathGradientColor(g, static_cast<double>(i) / (RampSize - 1)));
  return ramp;
}

}  // namespace

double PathGradientParameter(const TPathGradient& g, double x, double y) {
  if (g.Bounds.width() <= 0 || g.Bounds.height() <= 0) return 0;
  return TGradientKernel(g).Parameter(x, y, 0.5);
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
  if (tile.isNull()) return context.Fail(dsOutOfMemory);
  const TGradientKernel kernel(g);
  // The ellipse's rows are worked on only where it reaches, one pixel wider for its edge.
  const double a = g.Bounds.width() / 2.0;
  const double b = g.Bounds.height() / 2.0;
  const double centreX = g.Bounds.x() + a;
  const double centreY = g.Bounds.y() + b;
  // Rows are addressed from the bits taken here, so no thread touches the image's sharing.
  uchar* const bits = tile.bits();
  const qsizetype stride = tile.bytesPerLine();
  ParallelRows(visible.height(), 32, [&](int begin, int end) {
    for (int row = begin; row < end; ++row) {
      QRgb* line = reinterpret_cast<QRgb*>(bits + row * stride);
      const double y = visible.y() + row;
      int first = 0;
      int last = visible.width();
      if (g.Ellipse) {
        const double v = std::min(1.0, std::abs(y - centreY) / (b + 1));
        const double half = (a + 1) * std::sqrt(1 - v * v) + 1;
        first = std::clamp(static_cast<int>(std::floor(centreX - half)) - visible.x(), 0, last);
        last =
            std::clamp(static_cast<int>(std::ceil(centreX + half)) + 1 - visible.x(), first, last);
        std::fill(line, line + first, 0u);
        std::fill(line + last, line + visible.width(), 0u);
      }
      double t = 0.5;
      for (int column = first; column < last; ++column) {
        t = kernel.Parameter(visible.x() + column, y, t);
        line[column] = ramp[static_cast<int>(t * (RampSize - 1) + 0.5)];
      }
    }
  });
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
