// Separable Catmull-Rom resampling. Pixel centres sit at half-pixel offsets; when shrinking, the
// kernel is widened by the reduction so every source pixel contributes (no aliasing). Rows are
// resampled horizontally into a small ring of float rows, then combined vertically.
#include "Resample.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include "ParallelRows.h"

namespace {

using v4sf = float __attribute__((vector_size(16)));

double CatmullRom(double x) {
  x = std::fabs(x);
  if (x < 1.0) return (1.5 * x - 2.5) * x * x + 1.0;
  if (x < 2.0) return ((-0.5 * x + 2.5) * x - 4.0) * x + 2.0;
  return 0.0;
}

// The source pixels and weights behind each output pixel along one axis.
struct TAxis {
  int MaxTaps = 0;
  std::vector<int> Start;
  std::vector<int> Taps;
  std::vector<float> Weights;  // MaxTaps per output
};

// Outputs [first, first + count) of `length` outputs that cover [offset, offset + span) of an
// axis `size` pixels long. Nothing outside the picture contributes, so its edges are never
// darkened: when enlarging, taps beyond an edge repeat the edge pixel (a narrow kernel cut short
// would ring); when shrinking, they are left out and the rest renormalised (a wide kernel
// folded onto the edge pixel would give that one pixel too much weight).
TAxis ComputeAxis(double offset, double span, int size, int length, int first, int count) {
  TAxis axis;
  const double scale = span / length;
  const double widen = std::max(scale, 1.0);
  const bool repeatEdges = scale <= 1.0;
  const double radius = 2.0 * widen;
  axis.MaxTaps = static_cast<int>(std::ceil(2.0 * radius)) + 1;
  axis.Start.resize(static_cast<size_t>(count));
  axis.Taps.resize(static_cast<size_t>(count));
  axis.Weights.assign(static_cast<size_t>(count) * static_cast<size_t>(axis.MaxTaps), 0.0f);
  std::vector<double> taps(static_cast<size_t>(axis.MaxTaps));
  for (int i = 0; i < count; ++i) {
    const double centre = offset + (first + i + 0.5) * scale;
    // Pixel j (centre j + 0.5) contributes while it lies within the radius.
    const int lo = static_cast<int>(std::ceil(centre - radius - 0.5));
    const int hi =
        std::min(static_cast<int>(std::floor(centre + radius - 0.5)), lo + axis.MaxTaps - 1);
    const int start = std::clamp(lo, 0, size - 1);
    const int end = std::clamp(hi, start, size - 1);
    std::fill(taps.begin(), taps.end(), 0.0);
    double sum = 0.0;
    for (int j = repeatEdges ? lo : start; j <= (repeatEdges ? hi : end); ++j) {
      const double weight = CatmullRom((j + 0.5 - centre) / widen);
      taps[static_cast<size_t>(std::clamp(j, start, end) - start)] += weight;
      sum += weight;
    }
    axis.Start[static_cast<size_t>(i)] = start;
    axis.Taps[static_cast<size_t>(i)] = end - start + 1;
    float* weights = &axis.Weights[static_cast<size_t>(i) * static_cast<size_t>(axis.MaxTaps)];
    if (sum > 0.0) {
      for (int t = 0; t <= end - start; ++t)
        weights[t] = static_cast<float>(taps[static_cast<size_t>(t)] / sum);
    } else {  // only a kernel's zero tail reaches the picture: take the nearest pixel
      weights[std::clamp(static_cast<int>(std::floor(centre)), start, end) - start] = 1.0f;
    }
  }
  return axis;
}

// One picture row to floats, only the columns [first, end) the resampling reads.
void ConvertRow(const uint8_t* source, int first, int end, float* out) {
  const uint8_t* in = source + static_cast<ptrdiff_t>(first) * 4;
  float* to = out + static_cast<ptrdiff_t>(first) * 4;
  for (int i = 0; i < (end - first) * 4; ++i) to[i] = in[i];
}

void ResampleRow(const v4sf* source, const TAxis& columns, v4sf* out, int count) {
  for (int x = 0; x < count; ++x) {
    const v4sf* pixel = source + columns.Start[static_cast<size_t>(x)];
    const float* weights =
        &columns.Weights[static_cast<size_t>(x) * static_cast<size_t>(columns.MaxTaps)];
    v4sf sum = {0, 0, 0, 0};
    const int taps = columns.Taps[static_cast<size_t>(x)];
    for (int t = 0; t < taps; ++t) sum += weights[t] * pixel[t];
    out[x] = sum;
  }
}

inline int ToByte(float value) {
  return static_cast<int>(std::clamp(value + 0.5f, 0.0f, 255.0f));
}

void StoreOpaque(const v4sf* sums, uint8_t* out, int count, const uint8_t* gamma) {
  for (int x = 0; x < count; ++x, out += 4) {
    for (int c = 0; c < 3; ++c) {
      const int value = ToByte(sums[x][c]);
      out[c] = static_cast<uint8_t>(gamma ? gamma[value] : value);
    }
    out[3] = 255;
  }
}

// Premultiplied sums blended over the canvas pixels; gamma applies to the picture's own colour.
void StoreBlended(const v4sf* sums, uint8_t* out, int count, const uint8_t* gamma) {
  for (int x = 0; x < count; ++x, out += 4) {
    const float alpha = std::clamp(sums[x][3], 0.0f, 255.0f) / 255.0f;
    if (alpha <= 0.0f) continue;
    for (int c = 0; c < 3; ++c) {
      const int value = ToByte(sums[x][c] / alpha);
      const float colour = gamma ? gamma[value] : static_cast<float>(value);
      out[c] = static_cast<uint8_t>(ToByte(colour * alpha + out[c] * (1.0f - alpha)));
    }
    out[3] = 255;
  }
}

}  // namespace

QImage PrepareForDrawing(QImage picture) {
  if (picture.format() == QImage::Format_RGB32 ||
      picture.format() == QImage::Format_ARGB32_Premultiplied)
    return picture;
  return std::move(picture).convertToFormat(
      picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
}

void DrawPictureRect(const QImage& picture, const QRectF& source, QImage& canvas,
                     const QRect& target, const uint8_t* gamma) {
  const QRect clip = target.intersected(canvas.rect());
  if (clip.isEmpty() || picture.isNull() || !(source.width() > 0) || !(source.height() > 0)) return;
  const TAxis columns = ComputeAxis(source.x(), source.width(), picture.width(), target.width(),
                                    clip.x() - target.x(), clip.width());
  const TAxis rows = ComputeAxis(source.y(), source.height(), picture.height(), target.height(),
                                 clip.y() - target.y(), clip.height());
  const bool blend = picture.format() == QImage::Format_ARGB32_Premultiplied;
  const int firstColumn = columns.Start.front();
  const int endColumn = columns.Start.back() + columns.Taps.back();
  const int width = clip.width();
  const size_t rowFloats = static_cast<size_t>(width);
  uint8_t* const canvasBits = canvas.bits();  // detached here, before the threads start
  const qsizetype canvasStride = canvas.bytesPerLine();

  ParallelRows(clip.height(), 64, [&](int begin, int end) {
    // Horizontal results of the last MaxTaps source rows, indexed by row modulo MaxTaps.
    std::vector<v4sf> ring(rowFloats * static_cast<size_t>(rows.MaxTaps));
    std::vector<v4sf> sums(rowFloats);
    std::vector<v4sf> converted(static_cast<size_t>(picture.width()));
    auto ringRow = [&](int row) {
      return ring.data() + static_cast<size_t>(row % rows.MaxTaps) * rowFloats;
    };
    int computedEnd = INT_MIN;
    for (int y = begin; y < end; ++y) {
      const int first = rows.Start[static_cast<size_t>(y)];
      const int taps = rows.Taps[static_cast<size_t>(y)];
      for (int row = std::max(computedEnd, first); row < first + taps; ++row) {
        ConvertRow(picture.constScanLine(row), firstColumn, endColumn,
                   reinterpret_cast<float*>(converted.data()));
        ResampleRow(converted.data(), columns, ringRow(row), width);
      }
      computedEnd = std::max(computedEnd, first + taps);

      const float* weights =
          &rows.Weights[static_cast<size_t>(y) * static_cast<size_t>(rows.MaxTaps)];
      std::fill(sums.begin(), sums.end(), v4sf{0, 0, 0, 0});
      for (int t = 0; t < taps; ++t) {
        const v4sf* line = ringRow(first + t);
        const float weight = weights[t];
        for (int x = 0; x < width; ++x) sums[static_cast<size_t>(x)] += weight * line[x];
      }
      uint8_t* out = canvasBits + (clip.y() + y) * canvasStride + clip.x() * 4;
      if (blend)
        StoreBlended(sums.data(), out, width, gamma);
      else
        StoreOpaque(sums.data(), out, width, gamma);
    }
  });
}

void TilePicture(QImage& canvas, const QSize& tile) {
  const int width = canvas.width();
  const int height = canvas.height();
  const int tileWidth = std::min(tile.width(), width);
  const int tileHeight = std::min(tile.height(), height);
  if (tileWidth < 1 || tileHeight < 1) return;
  for (int y = 0; y < tileHeight; ++y) {
    uint32_t* line = reinterpret_cast<uint32_t*>(canvas.scanLine(y));
    for (int x = tileWidth; x < width; x += tileWidth)
      std::memcpy(line + x, line, static_cast<size_t>(std::min(tileWidth, width - x)) * 4);
  }
  for (int y = tileHeight; y < height; ++y)
    std::memcpy(canvas.scanLine(y), canvas.constScanLine(y % tileHeight),
                static_cast<size_t>(width) * 4);
}
