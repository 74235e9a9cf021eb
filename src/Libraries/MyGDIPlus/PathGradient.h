// The banded background: a gradient from the boundary of a rectangle or ellipse to a centre
// point, through scaled copies of the path, with eight colour stops and focus scales.
#pragma once

#include <QRect>
#include <QRgb>
#include <array>

struct TDrawContext;

struct TPathGradient {
  bool Ellipse = false;  // else the rectangle itself
  QRect Bounds;          // the path's rectangle, in pixels whose centres are whole coordinates
  QPoint Center;
  std::array<QRgb, 8> Colors{};  // from the boundary to the centre, not premultiplied
  std::array<float, 8> Positions{0, 0, 0, 0, 0, 0, 0, 1};
  double FocusX = 0;  // the path scaled by these about the centre holds the centre colour
  double FocusY = 0;
};

// Where a point lies on the ramp: 0 on the boundary, 1 at the centre and inside the focus
// path. Always a number in [0, 1], also for a centre on or outside the ellipse.
double PathGradientParameter(const TPathGradient& gradient, double x, double y);
// The colour at ramp parameter t: linear between the stops, channel by channel; equal positions
// make a hard step; t = 1 is the centre colour.
QRgb PathGradientColor(const TPathGradient& gradient, double t);
// Fills the path with the gradient (the ellipse's edge antialiased in smooth mode); only the
// part inside the painted bitmap is computed. An empty path paints nothing.
void FillPathGradient(TDrawContext& context, const TPathGradient& gradient);
