// The separator line: a horizontal gradient between two translucent colours.
#pragma once

#include <QRect>
#include <QRgb>

struct TDrawContext;

// Fills `rect` with `left` at its left edge turning into `right` at its right edge, column by
// column on colours that are not premultiplied, on whole pixels.
void FillHorizontalGradient(TDrawContext& context, const QRect& rect, QRgb left, QRgb right);
