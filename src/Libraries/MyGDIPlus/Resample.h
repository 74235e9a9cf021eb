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
// canvas. Parts of `target` outside the canvas are skipped.
// `reading` may ask for the picture's pixels to be normalised (by a NormalizeTable) as they are
// read, and, for a picture still being decoded, wait until the rows it needs are final.
struct TPictureReading {
  const uint8_t* Normalize = nullptr;
  // Returns once the picture's top `rows` rows are final; false when they never will be (the
  // drawing then stops, incomplete).
  std::function<bool(int rows)> WaitForRows;
};
void DrawPictureRect(const QImage& picture, const QRectF& source, QImage& canvas,
                     const QRect& target, const uint8_t* gamma,
                     const TPictureReading& reading = {});

// Repeats the canvas's top-left `tile` over the whole canvas, clipped at its edges.
void TilePicture(QImage& canvas, const QSize& tile);
