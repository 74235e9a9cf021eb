// Separable Catmull-Rom resampling. Pixel centres sit at half-pixel offsets; when shrinking, the
// kernel is widened by the reduction so every source pixel contributes (no aliasing). Each
// output row first combines its picture rows vertically (read as bytes, converted to floats as
// they are weighted), then resamples that one row horizontally: an output row depends on nothing
// but the picture, so it comes out the same whichever thread computes it, and a picture that
// arrives row by row can be drawn while it does.
#include "MyGDIPlus/Resample.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <immintrin.h>
#include <optional>
#include <vector>

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

int MaxTapsFor(double radius) {
  return static_cast<int>(std::ceil(2.0 * radius)) + 1;
}

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
  axis.MaxTaps = MaxTapsFor(radius);
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
  // The bound above allows a tap more than any output may have, and each tap costs the
  // horizontal pass a multiply-add for every output; the wide pass takes taps in pairs.
  int used = count > 0 ? *std::max_element(axis.Taps.begin(), axis.Taps.end()) : 0;
  used += used % 2;
  if (used > 0 && used != axis.MaxTaps) {
    std::vector<float> weights(static_cast<size_t>(count) * static_cast<size_t>(used), 0.0f);
    for (size_t i = 0; i < static_cast<size_t>(count); ++i)
      std::copy_n(&axis.Weights[i * static_cast<size_t>(axis.MaxTaps)],
                  std::min(used, axis.MaxTaps), &weights[i * static_cast<size_t>(used)]);
    axis.MaxTaps = used;
    axis.Weights = std::move(weights);
  }
  // The wide pass reads the weights eight at a time.
  axis.Weights.resize(axis.Weights.size() + 8, 0.0f);
  return axis;
}

// Both passes are written once and built twice: for the baseline instruction set and, where
// the processor has them, for 256-bit vectors with fused multiply-add.
#define RESAMPLE_KERNEL inline __attribute__((always_inline))

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

// The vertical pass: channels [0, count) of the `taps` picture rows (bytes) weighted together,
// each converted to float as it is read, so the rows are read as they are, a quarter of the
// size of floats. Several blocks at a time, so that independent sums hide the latency of each
// multiply-add. The compiler converts bytes to floats one by one, hence the intrinsics.
float CombineChannel(const uint8_t* const* lines, const float* weights, int taps, int i) {
  float sum = 0;
  for (int t = 0; t < taps; ++t) sum += weights[t] * static_cast<float>(lines[t][i]);
  return sum;
}

void CombineRows(const uint8_t* const* lines, const float* weights, int taps, int count,
                 float* out) {
  const __m128i zero = _mm_setzero_si128();
  int i = 0;
  for (; i + 16 <= count; i += 16) {
    __m128 sums[4] = {_mm_setzero_ps(), _mm_setzero_ps(), _mm_setzero_ps(), _mm_setzero_ps()};
    for (int t = 0; t < taps; ++t) {
      const __m128 weight = _mm_set1_ps(weights[t]);
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lines[t] + i));
      const __m128i low = _mm_unpacklo_epi8(bytes, zero);
      const __m128i high = _mm_unpackhi_epi8(bytes, zero);
      const __m128i words[4] = {_mm_unpacklo_epi16(low, zero), _mm_unpackhi_epi16(low, zero),
                                _mm_unpacklo_epi16(high, zero), _mm_unpackhi_epi16(high, zero)};
      for (int b = 0; b < 4; ++b)
        sums[b] = _mm_add_ps(sums[b], _mm_mul_ps(weight, _mm_cvtepi32_ps(words[b])));
    }
    for (int b = 0; b < 4; ++b) _mm_storeu_ps(out + i + 4 * b, sums[b]);
  }
  for (; i < count; ++i) out[i] = CombineChannel(lines, weights, taps, i);
}

PIXEL_KERNEL_WIDE void CombineRowsWide(const uint8_t* const* lines, const float* weights, int taps,
                                       int count, float* out) {
  constexpr int Blocks = 4;
  int i = 0;
  for (; i + 8 * Blocks <= count; i += 8 * Blocks) {
    __m256 sums[Blocks];
    for (__m256& sum : sums) sum = _mm256_setzero_ps();
    for (int t = 0; t < taps; ++t) {
      const __m256 weight = _mm256_set1_ps(weights[t]);
      const uint8_t* line = lines[t] + i;
      for (int b = 0; b < Blocks; ++b) {
        const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(line + 8 * b));
        sums[b] = _mm256_fmadd_ps(weight, _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(bytes)), sums[b]);
      }
    }
    for (int b = 0; b < Blocks; ++b) _mm256_storeu_ps(out + i + 8 * b, sums[b]);
  }
  for (; i < count; ++i) out[i] = CombineChannel(lines, weights, taps, i);
}

void ResampleRow(const v4sf* source, int firstColumn, const TAxis& columns, v4sf* out, int count) {
  ResampleRowKernel(source, firstColumn, columns, out, count);
}
// The horizontal pass two taps at a time: two neighbouring pixels fill a 256-bit vector, and
// their two weights are spread over its halves from eight weights loaded at once.
PIXEL_KERNEL_WIDE void ResampleRowWide(const v4sf* source, int firstColumn, const TAxis& columns,
                                       v4sf* out, int count) {
  const size_t taps = static_cast<size_t>(columns.MaxTaps);  // even
  const float* pixels = reinterpret_cast<const float*>(source);
  const __m256i spread[4] = {
      _mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1), _mm256_setr_epi32(2, 2, 2, 2, 3, 3, 3, 3),
      _mm256_setr_epi32(4, 4, 4, 4, 5, 5, 5, 5), _mm256_setr_epi32(6, 6, 6, 6, 7, 7, 7, 7)};
  for (int x = 0; x < count; ++x) {
    const float* pixel =
        pixels + static_cast<ptrdiff_t>(columns.Start[static_cast<size_t>(x)] - firstColumn) * 4;
    const float* weights = &columns.Weights[static_cast<size_t>(x) * taps];
    __m256 sum = _mm256_setzero_ps();
    for (size_t group = 0; group < taps; group += 8) {
      const __m256 eight = _mm256_loadu_ps(weights + group);
      for (size_t pair = 0; pair < 4 && group + 2 * pair < taps; ++pair)
        sum = _mm256_fmadd_ps(_mm256_permutevar8x32_ps(eight, spread[pair]),
                              _mm256_loadu_ps(pixel + 4 * (group + 2 * pair)), sum);
    }
    const __m128 both = _mm_add_ps(_mm256_castps256_ps128(sum), _mm256_extractf128_ps(sum, 1));
    std::memcpy(&out[x], &both, sizeof both);
  }
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

// The picture rows the vertical pass reads, remembered for the last rows asked for (a row's
// taps never span more rows than it holds), so a row that may have to be waited for is asked
// for once.
class TRowSource {
 public:
  TRowSource(const std::function<const uint8_t*(int)>& rowAt, int rows)
      : RowAt(rowAt), Rows(rows), Held(static_cast<size_t>(rows), {-1, nullptr}) {}

  // Null when the row never comes.
  const uint8_t* Row(int row) {
    auto& [held, line] = Held[static_cast<size_t>(row % Rows)];
    if (held != row) {
      line = RowAt(row);
      if (!line) return nullptr;
      held = row;
    }
    return line;
  }

 private:
  const std::function<const uint8_t*(int)>& RowAt;
  int Rows;
  std::vector<std::pair<int, const uint8_t*>> Held;  // the row in each place, and its pixels
};

// What one drawing needs, worked out once for all its bands.
struct TDrawing {
  TAxis Columns;
  TAxis Rows;
  QRect Clip;
  int FirstColumn = 0;
  int EndColumn = 0;
  bool Blend = false;
  const uint8_t* Gamma = nullptr;
  uint8_t* CanvasBits = nullptr;
  qsizetype CanvasStride = 0;
  bool Wide = false;

  // Null when nothing of the picture is drawn.
  static std::optional<TDrawing> Plan(QSize size, const QRectF& source, QImage& canvas,
                                      const QRect& target, bool blend, const uint8_t* gamma) {
    const QRect clip = target.intersected(canvas.rect());
    if (clip.isEmpty() || size.isEmpty() || !(source.width() > 0) || !(source.height() > 0))
      return std::nullopt;
    TDrawing d;
    d.Columns = ComputeAxis(source.x(), source.width(), size.width(), target.width(),
                            clip.x() - target.x(), clip.width());
    d.Rows = ComputeAxis(source.y(), source.height(), size.height(), target.height(),
                         clip.y() - target.y(), clip.height());
    d.Clip = clip;
    d.FirstColumn = d.Columns.Start.front();
    d.EndColumn = d.Columns.Start.back() + d.Columns.Taps.back();
    d.Blend = blend;
    d.Gamma = gamma;
    d.CanvasBits = canvas.bits();  // detached here, before any thread starts
    d.CanvasStride = canvas.bytesPerLine();
    d.Wide = Platform::HasWideVectors();
    return d;
  }

  // Output rows [begin, end) of the clip; false when a picture row never came.
  bool DrawBand(int begin, int end, const std::function<const uint8_t*(int)>& rowAt,
                const std::function<void(int)>& release) const {
    const auto combineRows = Wide ? CombineRowsWide : CombineRows;
    const auto resampleRow = Wide ? ResampleRowWide : ResampleRow;
    const auto storeOpaque = Wide ? StoreOpaqueWide : StoreOpaque;
    const int width = Clip.width();
    std::vector<v4sf> combined(static_cast<size_t>(EndColumn - FirstColumn + Columns.MaxTaps));
    std::vector<v4sf> sums(static_cast<size_t>(width));
    std::vector<const uint8_t*> lines(static_cast<size_t>(Rows.MaxTaps));
    TRowSource rowSource(rowAt, Rows.MaxTaps);
    for (int y = begin; y < end; ++y) {
      const int first = Rows.Start[static_cast<size_t>(y)];
      const int taps = Rows.Taps[static_cast<size_t>(y)];
      if (release) release(first);
      for (int t = 0; t < taps; ++t) {
        const uint8_t* line = rowSource.Row(first + t);
        if (!line) return false;
        lines[static_cast<size_t>(t)] = line + static_cast<ptrdiff_t>(FirstColumn) * 4;
      }
      combineRows(lines.data(),
                  &Rows.Weights[static_cast<size_t>(y) * static_cast<size_t>(Rows.MaxTaps)], taps,
                  (EndColumn - FirstColumn) * 4, reinterpret_cast<float*>(combined.data()));
      resampleRow(combined.data(), FirstColumn, Columns, sums.data(), width);
      uint8_t* out = CanvasBits + (Clip.y() + y) * CanvasStride + Clip.x() * 4;
      if (Blend) {
        StoreBlended(sums.data(), out, width, Gamma);
      } else {
        storeOpaque(reinterpret_cast<const float*>(sums.data()), out, width);
        if (Gamma) ApplyGamma(out, width, Gamma);
      }
    }
    return true;
  }
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
                     const QRect& target, const uint8_t* gamma) {
  if (picture.isNull()) return;
  const std::optional<TDrawing> drawing =
      TDrawing::Plan(picture.size(), source, canvas, target,
                     picture.format() == QImage::Format_ARGB32_Premultiplied, gamma);
  if (!drawing) return;
  const std::function<const uint8_t*(int)> rowAt = [&picture](int y) {
    return picture.constScanLine(y);
  };
  ParallelRows(drawing->Clip.height(), 64,
               [&](int begin, int end) { drawing->DrawBand(begin, end, rowAt, {}); });
}

bool DrawPictureRows(const QSize& size, const std::function<const uint8_t*(int y)>& row,
                     const std::function<void(int y)>& release, const QRectF& source,
                     QImage& canvas, const QRect& target, const uint8_t* gamma) {
  const std::optional<TDrawing> drawing =
      TDrawing::Plan(size, source, canvas, target, false, gamma);
  if (!drawing) return true;
  Platform::ClearUpperVectorState();
  return drawing->DrawBand(0, drawing->Clip.height(), row, release);
}

int ResampleTaps(double span, int length) {
  return MaxTapsFor(2.0 * std::max(span / std::max(length, 1), 1.0));
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
