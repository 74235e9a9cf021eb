// The drawing context of the calendar painting: the painter over the wallpaper bitmap and the
// status of the last drawing call that failed. A failed call only records its status; painting
// goes on with the next element.
#pragma once

#include <QRgb>

class QBrush;
class QPainter;
class QPainterPath;
class QPen;
class QRectF;

// The status codes of the Windows imaging library, so that a recorded status reads the same.
enum TDrawStatus : int {
  dsOk = 0,
  dsGenericError = 1,
  dsInvalidParameter = 2,
  dsOutOfMemory = 3,
  dsWrongState = 8,
  dsFontFamilyNotFound = 14,
};

struct TDrawContext {
  explicit TDrawContext(QPainter& graphics) : Graphics(graphics) {}

  QPainter& Graphics;
  int LastStatus = dsOk;
  // Smoothing: antialiased shapes with pixel centres on whole coordinates (high quality), or
  // aliased shapes on whole pixels (none).
  bool Smooth = true;
  // Grid-fitted glyphs; tests switch it off so that pixels do not depend on the machine's fonts.
  bool Hinting = true;

  void Fail(int status) { LastStatus = status; }
};

// Shapes in the context's smoothing mode. A 1-pixel outline of (x, y, w, h) covers columns x and
// x + w and rows y and y + h; a fill covers w x h pixels.
void FillRectangle(TDrawContext& context, QRgb color, const QRectF& rect);
void DrawRectangle(TDrawContext& context, QRgb color, const QRectF& rect);
void FillEllipse(TDrawContext& context, QRgb color, const QRectF& rect);
void DrawEllipse(TDrawContext& context, QRgb color, const QRectF& rect);
void FillPath(TDrawContext& context, const QPainterPath& path, const QBrush& brush);
void DrawPath(TDrawContext& context, const QPainterPath& path, const QPen& pen);

// A solid pen with flat caps and miter joins (limited to 2 widths).
QPen MakePen(QRgb color, double width);
