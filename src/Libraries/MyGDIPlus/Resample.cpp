// Separable Catmull-Rom resampling. Pixel centres sit at half-pixel offsets; when shrinking, the
// kernel is widened by the reduction so every source pixel contributes (no aliasing). Each
// output row first combines its picture rows vertically (converted to floats once, into a
// small ring), then resamples that one row horizontally: an output row depends on nothing but
// the picture, so it comes out the same whichever thread computes it.
#include "MyGDIPlus/Resample.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include "MyGDIPlus/Brightness.h"
#include "MyGDIPlus/ParallelRows.h"
#include "Platform/VectorState.h"

namespace {

using v4sf = float __attribute__((vector_size(16)));
using v8sf = float __attribute__((vector_size(32)));

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

// Both passes are written once and built twice: for the baseline instruction set and, where
// the processor has them, for 256-bit vectors with fused multiply-add.
#define RESAMPLE_KERNEL inline __attribute__((always_inline))

// One picture row's bytes [0, count) to floats.
RESAMPLE_KERNEL void ConvertRowKernel(const uint8_t* in, int count, float* out) {
  for (int i = 0; i < count; ++i) out[i] = in[i];
}

// The vertical pass: floats [0, count) of the `taps` rows weighted together. Four blocks at a
// time, so that four independent sums hide the latency of each multiply-add.
RESAMPLE_KERNEL void CombineRowsKernel(const float* const* lines, const float* weights, int taps,
                                       int count, float* out) {
  constexpr int Block = 8;
  constexpr int Blocks = 4;
  int i = 0;
  for (; i + Block * Blocks <= count; i += Block * Blocks) {
    v8sf sums[Blocks] = {};
    for (int t = 0; t < taps; ++t) {
      for (int b = 0; b < Blocks; ++b) {
        v8sf values;
        std::memcpy(&values, lines[t] + i + b * Block, sizeof values);
        sums[b] += weights[t] * values;
      }
    }
    std::memcpy(out + i, sums, sizeof sums);
  }
  for (; i < count; ++i) {
    float sum = 0;
    for (int t = 0; t < taps; ++t) sum += weights[t] * lines[t][i];
    out[i] = sum;
  }
}

// The horizontal pass over the vertical pass's pixels, which start at column `firstColumn` and
// are followed by MaxTaps zero pixels: every output takes MaxTaps taps (the weights after its own
// taps are zero), and four outputs at a time keep four independent sums going.
RESAMPLE_KERNEL void ResampleRowKernel(const v4sf* source, int firstColumn, const TAxis& columns,
                                       v4sf* out, int count) {
  constexpr int Outputs = 4;
  const size_t taps = static_cast<size_t>(columns.MaxTaps);
  int x = 0;
  for (; x + Outputs <= count; x += Outputs) {
    const v4sf* pixels[Outputs];
    const float* weights[Outputs];
    for (int o = 0; o < Outputs; ++o) {
      pixels[o] = source + (columns.Start[static_cast<size_t>(x + o)] - firstColumn);
      weights[o] = &columns.Weights[static_cast<size_t>(x + o) * taps];
    }
    v4sf sums[Outputs] = {};
    for (size_t t = 0; t < taps; ++t)
      for (int o = 0; o < Outputs; ++o) sums[o] += weights[o][t] * pixels[o][t];
    for (int o = 0; o < Outputs; ++o) out[x + o] = sums[o];
  }
  for (; x < count; ++x) {
    const v4sf* pixel = source + (columns.Start[static_cast<size_t>(x)] - firstColumn);
    const float* weights = &columns.Weights[static_cast<size_t>(x) * taps];
    v4sf sum = {0, 0, 0, 0};
    for (size_t t = 0; t < taps; ++t) sum += weights[t] * pixel[t];
    out[x] = sum;
  }
}

void ConvertRow(const uint8_t* in, int count, float* out) {
  ConvertRowKernel(in, count, out);
}
PIXEL_KERNEL_WIDE void ConvertRowWide(const uint8_t* in, int count, float* out) {
  ConvertRowKernel(in, count, out);
}
void CombineRows(const float* const* lines, const float* weights, int taps, int count, float* out) {
  CombineRowsKernel(lines, weights, taps, count, out);
}
PIXEL_KERNEL_WIDE void CombineRowsWide(const float* const* lines, const float* weights, int taps,
                                       int count, float* out) {
  CombineRowsKernel(lines, weights, taps, count, out);
}
void ResampleRow(const v4sf* source, int firstColumn, const TAxis& columns, v4sf* out, int count) {
  ResampleRowKernel(source, firstColumn, columns, out, count);
}
PIXEL_KERNEL_WIDE void ResampleRowWide(const v4sf* source, int firstColumn, const TAxis& columns,
                                       v4sf* out, int count) {
  ResampleRowKernel(source, firstColumn, columns, out, count);
}

inline int ToByte(float value) {
  return static_cast<int>(std::clamp(value + 0.5f, 0.0f, 255.0f));
}

// ToByte over the channels as one flat loop, which compiles to vector code.
RESAMPLE_KERNEL void StoreOpaqueKernel(const float* sums, uint8_t* out, int count) {
  for (int i = 0; i < count * 4; ++i) {
    float value = sums[i] + 0.5f;
    value = value > 0.0f ? value : 0.0f;
    value = value < 255.0f ? value : 255.0f;
    out[i] = static_cast<uint8_t>(static_cast<int>(value));
  }
  for (int x = 0; x < count; ++x) {  // opaque, as words so that this too is vector code
    uint32_t pixel;
    std::memcpy(&pixel, out + x * 4, 4);
    pixel |= 0xFF000000u;
    std::memcpy(out + x * 4, &pixel, 4);
  }
}

void StoreOpaque(const float* sums, uint8_t* out, int count) {
  StoreOpaqueKernel(sums, out, count);
}
PIXEL_KERNEL_WIDE void StoreOpaqueWide(const float* sums, uint8_t* out, int count) {
  StoreOpaqueKernel(sums, out, count);
}

void ApplyGamma(uint8_t* out, int count, const uint8_t* gamma) {
  for (int x = 0; x < count; ++x, out += 4) {
    out[0] = gamma[out[0]];
    out[1] = gamma[out[1]];
    out[2] = gamma[out[2]];
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

// The picture rows the vertical pass reads, as floats: the columns it reads of each row,
// normalised first when there is a table, converted once into a ring that holds the last rows
// asked for (a row's taps never span more rows than the ring has).
class TRowSource {
 public:
  TRowSource(const QImage& picture, const uint8_t* normalize, int firstColumn, int endColumn,
             int rows, bool wide)
      : Picture(picture),
        Normalize(normalize),
        FirstColumn(firstColumn),
        Width(endColumn - firstColumn),
        Rows(rows),
        Convert(wide ? ConvertRowWide : ConvertRow),
        Ring(static_cast<size_t>(Width) * 4 * static_cast<size_t>(Rows)),
        Held(static_cast<size_t>(Rows), -1) {
    if (Normalize) Normalized.resize(static_cast<size_t>(Width) * 4);
  }

  const float* Row(int row) {
    const size_t index = static_cast<size_t>(row % Rows);
    float* slot = &Ring[index * static_cast<size_t>(Width) * 4];
    if (Held[index] != row) {
      const uint8_t* line = Picture.constScanLine(row) + static_cast<ptrdiff_t>(FirstColumn) * 4;
      if (Normalize) {
        NormalizeRow(Normalize, line, Normalized.data(), Width);
        line = Normalized.data();
      }
      Convert(line, Width * 4, slot);
      Held[index] = row;
    }
    return slot;
  }

 private:
  const QImage& Picture;
  const uint8_t* Normalize;
  int FirstColumn;
  int Width;
  int Rows;
  void (*Convert)(const uint8_t*, int, float*);
  std::vector<float> Ring;
  std::vector<int> Held;  // the row in each slot
  std::vector<uint8_t> Normalized;
};

}  // namespace

QImage PrepareForDrawing(QImage picture) {
  if (picture.format() == QImage::Format_RGB32 ||
      picture.format() == QImage::Format_ARGB32_Premultiplied)
    return picture;
  return std::move(picture).convertToFormat(
      picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
}

void DrawPictureRect(const QImage& picture, const QRectF& source, QImage& canvas,
                     const QRect& target, const uint8_t* gamma, const TPictureReading& reading) {
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
  uint8_t* const canvasBits = canvas.bits();  // detached here, before the threads start
  const qsizetype canvasStride = canvas.bytesPerLine();
  const bool wide = Platform::HasWideVectors();
  const auto combineRows = wide ? CombineRowsWide : CombineRows;
  const auto resampleRow = wide ? ResampleRowWide : ResampleRow;
  const auto storeOpaque = wide ? StoreOpaqueWide : StoreOpaque;

  ParallelRows(clip.height(), 64, [&](int begin, int end) {
    std::vector<v4sf> combined(static_cast<size_t>(endColumn - firstColumn + columns.MaxTaps));
    std::vector<v4sf> sums(static_cast<size_t>(width));
    std::vector<const float*> lines(static_cast<size_t>(rows.MaxTaps));
    TRowSource rowSource(picture, reading.Normalize, firstColumn, endColumn, rows.MaxTaps, wide);
    for (int y = begin; y < end; ++y) {
      const int first = rows.Start[static_cast<size_t>(y)];
      const int taps = rows.Taps[static_cast<size_t>(y)];
      if (reading.WaitForRows && !reading.WaitForRows(first + taps)) return;
      for (int t = 0; t < taps; ++t) lines[static_cast<size_t>(t)] = rowSource.Row(first + t);
      combineRows(lines.data(),
                  &rows.Weights[static_cast<size_t>(y) * static_cast<size_t>(rows.MaxTaps)], taps,
                  (endColumn - firstColumn) * 4, reinterpret_cast<float*>(combined.data()));
      resampleRow(combined.data(), firstColumn, columns, sums.data(), width);
      uint8_t* out = canvasBits + (clip.y() + y) * canvasStride + clip.x() * 4;
      if (blend) {
        StoreBlended(sums.data(), out, width, gamma);
      } else {
        storeOpaque(reinterpret_cast<const float*>(sums.data()), out, width);
        if (gamma) ApplyGamma(out, width, gamma);
      }
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
