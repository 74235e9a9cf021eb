// Brightness statistics, the three normalisation methods and the gamma table.
#include <QImage>
#include <algorithm>
#include <mutex>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "MyGDIPlus/Brightness.h"
#include "Error/Error.h"
#include "MyGDIPlus/MyGDIPlus.h"
#include "MyGDIPlus/ParallelRows.h"
#include "Platform/VectorState.h"

namespace {

bool HasPixels32(const QImage& picture) {
  return !picture.isNull() && picture.depth() == 32;
}

inline int Max3(const uint8_t* pixel) {
  return std::max({pixel[0], pixel[1], pixel[2]});
}

enum class TMethod { Anisotropic, Balanced, Mirrored, Unknown };

TMethod MethodByName(const QString& name) {
  const auto is = [&](const char* known) {
    return name.compare(QLatin1String(known), Qt::CaseInsensitive) == 0;
  };
  if (is("Anisotropic dampening")) return TMethod::Anisotropic;
  if (is("Balanced scaling")) return TMethod::Balanced;
  if (is("Mirrored scaling")) return TMethod::Mirrored;
  return TMethod::Unknown;
}

uint8_t Channel(double value) {
  return static_cast<uint8_t>(std::clamp(std::trunc(value), 0.0, 255.0));
}

// A channel's new value depends only on itself and on its pixel's brightness V, so every case
// is worked out once: table[V * 256 + channel].
std::vector<uint8_t> BuildNormalizeTable(TMethod method, double level, double mean,
                                         double deviation) {
  std::vector<uint8_t> table(256 * 256);
  const double spread = (std::fabs(level - mean) * 0.5 + 1.0) * (deviation * 0.5 + 1.0);
  for (int brightness = 0; brightness < 256; ++brightness) {
    const double v = brightness / 255.0;
    double k = level / mean;
    bool mirrored = false;
    switch (method) {
      case TMethod::Anisotropic: {
        const double g = std::sqrt(1.0 - std::fabs(1.0 - level - v)) * spread + 1.0;
        k = (level + 0.5) / ((g - 1.0) * v + 1.0);
        break;
      }
      case TMethod::Balanced:
        if (mean < level) k = (level / mean - 1.0) * (1.0 - v) + 1.0;
        break;
      case TMethod::Mirrored:
        if (mean < level) {
          k = (1.0 - level) / (1.0 - mean);
          mirrored = true;
        }
        break;
      case TMethod::Unknown:
        break;
    }
    uint8_t* row = &table[static_cast<size_t>(brightness) * 256];
    for (int ch = 0; ch < 256; ++ch)
      row[ch] = mirrored ? Channel(255.0 - k * (255 - ch)) : Channel(ch * k);
  }
  return table;
}

}  // namespace

namespace {

// Sums of V and V squared over `count` 32-bit pixels: a loop without branches that compiles to
// vector code, built once for the baseline instruction set and once for wide vectors.
inline __attribute__((always_inline)) void SumRunKernel(const uint8_t* pixels, int count,
                                                        uint32_t& sum, uint32_t& squares) {
  uint32_t runSum = 0;
  uint32_t runSquares = 0;
  for (int x = 0; x < count; ++x) {
    uint32_t pixel;
    std::memcpy(&pixel, pixels + static_cast<size_t>(x) * 4, 4);
    const uint32_t v = std::max(std::max(pixel & 0xFF, (pixel >> 8) & 0xFF), (pixel >> 16) & 0xFF);
    runSum += v;
    runSquares += v * v;
  }
  sum = runSum;
  squares = runSquares;
}

void SumRun(const uint8_t* pixels, int count, uint32_t& sum, uint32_t& squares) {
  SumRunKernel(pixels, count, sum, squares);
}
PIXEL_KERNEL_WIDE void SumRunWide(const uint8_t* pixels, int count, uint32_t& sum,
                                  uint32_t& squares) {
  SumRunKernel(pixels, count, sum, squares);
}

}  // namespace

void TBrightnessSums::AddRow(const uint8_t* pixels, int width) {
  // In runs short enough for 32-bit sums: 65025 x 4096 fits.
  constexpr int Run = 4096;
  const auto sumRun = Platform::HasWideVectors() ? SumRunWide : SumRun;
  for (int begin = 0; begin < width; begin += Run) {
    uint32_t runSum = 0;
    uint32_t runSquares = 0;
    sumRun(pixels + static_cast<size_t>(begin) * 4, std::min(Run, width - begin), runSum,
           runSquares);
    Sum += runSum;
    Squares += runSquares;
  }
  Count += static_cast<uint64_t>(std::max(width, 0));
}

void TBrightnessSums::Add(const TBrightnessSums& other) {
  Sum += other.Sum;
  Squares += other.Squares;
  Count += other.Count;
}

void TBrightnessSums::Result(double& mean, double& deviation) const {
  mean = deviation = 0;
  if (Count == 0) return;
  // The squared deviation from the integer mean m follows exactly as
  // sum(V^2) - 2 m sum(V) + N m^2.
  const uint64_t m = Sum / Count;
  const uint64_t spread = Squares - 2 * m * Sum + Count * m * m;
  mean = static_cast<double>(m) / 255.0;
  deviation = std::sqrt(static_cast<double>(spread / Count)) / 255.0;
}

std::vector<uint8_t> NormalizeTable(const QString& method, double level, double mean,
                                    double deviation) {
  const TMethod chosen = MethodByName(method);
  if (chosen == TMethod::Unknown) return {};
  return BuildNormalizeTable(chosen, std::clamp(level, 0.01, 1.0), std::clamp(mean, 0.01, 1.0),
                             deviation);
}

double NormalizeFactor(double level, double mean) {
  return std::clamp(level, 0.01, 1.0) / std::clamp(mean, 0.01, 1.0);
}

void NormalizeRow(const uint8_t* table, const uint8_t* in, uint8_t* out, int width) {
  for (int x = 0; x < width; ++x, in += 4, out += 4) {
    const uint8_t* row = &table[static_cast<size_t>(Max3(in)) * 256];
    const uint8_t b = row[in[0]], g = row[in[1]], r = row[in[2]];
    out[0] = b;
    out[1] = g;
    out[2] = r;
    out[3] = in[3];
  }
}

void NormalizeRect(QImage& canvas, const QRect& rect, const uint8_t* table, const uint8_t* gamma) {
  const QRect area = rect.intersected(canvas.rect());
  if (area.isEmpty() || (!table && !gamma)) return;
  std::vector<uint8_t> mapped;
  if (gamma) {  // the gamma follows the normalisation: one table does both
    mapped.resize(256 * 256);
    for (size_t i = 0; i < mapped.size(); ++i) mapped[i] = gamma[table ? table[i] : i & 255];
    table = mapped.data();
  }
  uint8_t* const bits = canvas.bits();
  const qsizetype stride = canvas.bytesPerLine();
  ParallelRows(area.height(), 256, [&](int begin, int end) {
    for (int y = begin; y < end; ++y) {
      uint8_t* line = bits + (area.y() + y) * stride + area.x() * 4;
      NormalizeRow(table, line, line, area.width());
    }
  });
}

void MeasureBrightness(const QImage& picture, double& mean, double& deviation) {
  std::mutex mutex;
  TBrightnessSums sums;
  ParallelRows(picture.height(), 256, [&](int begin, int end) {
    TBrightnessSums band;
    for (int y = begin; y < end; ++y) band.AddRow(picture.constScanLine(y), picture.width());
    const std::lock_guard lock(mutex);
    sums.Add(band);
  });
  sums.Result(mean, deviation);
}

bool GetPictureBright(const QImage& picture, double& mean, double& deviation) {
  mean = 0;
  deviation = 0;
  TStatusFrame frame(__FILE__, "GetPictureBright", __LINE__);
  frame.Run([&] {
    if (!HasPixels32(picture))
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to lock bitmap bits"));
    MeasureBrightness(picture, mean, deviation);
  });
  if (frame.Failed()) mean = deviation = 0;
  return !frame.Failed();
}

double NormalizePictureBrightness(QImage& picture, const QString& method, double level, double mean,
                                  double deviation) {
  const double factor = NormalizeFactor(level, mean);
  TStatusFrame frame(__FILE__, "NormalizePictureBrightness", __LINE__);
  frame.Run([&] {
    if (!HasPixels32(picture))
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to lock bitmap bits"));
    const std::vector<uint8_t> table = NormalizeTable(method, level, mean, deviation);
    if (table.empty()) return;
    const int width = picture.width();
    uint8_t* const bits = picture.bits();
    const qsizetype stride = picture.bytesPerLine();
    ParallelRows(picture.height(), 256, [&](int begin, int end) {
      for (int y = begin; y < end; ++y) {
        uint8_t* line = bits + y * stride;
        NormalizeRow(table.data(), line, line, width);
      }
    });
  });
  return factor;
}

bool IsGammaApplied(int gamma) {
  return gamma >= 1 && gamma <= 1000 && gamma != 100;
}

void BuildGammaTable(int gamma, uint8_t table[256]) {
  const double exponent = gamma / 100.0;
  for (int c = 0; c < 256; ++c)
    table[c] = static_cast<uint8_t>(std::lround(255.0 * std::pow(c / 255.0, exponent)));
}
