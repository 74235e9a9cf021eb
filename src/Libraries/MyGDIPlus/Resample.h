// Drawing a picture into a bitmap: bicubic resampling, gamma, blending over what is there, and
// tiling.
#pragma once

#include <QImage>
#include <QRect>
#include <QRectF>
#include <cstdint>
#include <functional>

// What DrawPictureRect reads: opaque pictures as RGB32, others as premultiplied ARGB32.
QImage PrepareForDrawing(QImage picture);

// Resamples `source` (picture pixel coordinates, fractions allowed) of `picture` into `target`
// of `canvas` (RGB32) with a Catmull-Rom kernel that widens with the reduction. Only pixels of
// the picture contribute, so its edges keep their colour.
// `gamma`, when given, maps the picture's colour channels before they are blended over the
// canvas. Parts of `target` outside the canvas are skipped. The rows are split over the cores.
void DrawPictureRect(const QImage& picture, const QRectF& source, QImage& canvas,
                     const QRect& target, const uint8_t* gamma);

// The same for an opaque picture of `size` that arrives row by row: its rows are read from the
// top down, on this thread. `row(y)` returns row y's 32-bit pixels, waiting for it if need be,
// or null when it never comes; `release(y)` says that no row above y is read again. False when
// a row never came (the drawing stops there).
bool DrawPictureRows(const QSize& size, const std::function<const uint8_t*(int y)>& row,
                     const std::function<void(int y)>& release, const QRectF& source,
                     QImage& canvas, const QRect& target, const uint8_t* gamma);

// The most picture rows (or columns) one output row reads when `span` of them are drawn over
// `length`.
int ResampleTaps(double span, int length);

// Repeats the canvas's top-left `tile` over the whole canvas, clipped at its edges.
void TilePicture(QImage& canvas, const QSize& tile);
