// Brightness statistics, the three normalisation methods and the gamma table.
#include <QImage>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <vector>

#include "Error.h"
#include "MyGDIPlus.h"
#include "ParallelRows.h"

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

bool GetPictureBright(const QImage& picture, double& mean, double& deviation) {
  mean = 0;
  deviation = 0;
  TStatusFrame frame(__FILE__, "GetPictureBright", __LINE__);
  frame.Run([&] {
    if (!HasPixels32(picture))
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to lock bitmap bits"));
    // Sum of V and of V squared in one pass; the squared deviation from the integer mean m
    // then follows exactly as sum(V^2) - 2 m sum(V) + N m^2.
    std::atomic<uint64_t> sum{0};
    std::atomic<uint64_t> squares{0};
    const int width = picture.width();
    ParallelRows(picture.height(), 256, [&](int begin, int end) {
      uint64_t localSum = 0;
      uint64_t localSquares = 0;
      for (int y = begin; y < end; ++y) {
        const uint8_t* pixel = picture.constScanLine(y);
        uint32_t rowSum = 0;
        uint32_t rowSquares = 0;  // at most 65025 x width; flushed per 64K pixels
        for (int x = 0; x < width; ++x, pixel += 4) {
          const uint32_t v = static_cast<uint32_t>(Max3(pixel));
          rowSum += v;
          rowSquares += v * v;
          if ((x & 0xFFFF) == 0xFFFF) {
            localSum += rowSum;
            localSquares += rowSquares;
            rowSum = rowSquares = 0;
          }
        }
        localSum += rowSum;
        localSquares += rowSquares;
      }
      sum += localSum;
      squares += localSquares;
    });
    const uint64_t count = static_cast<uint64_t>(width) * static_cast<uint64_t>(picture.height());
    const uint64_t m = sum / count;
    const uint64_t spread = squares - 2 * m * sum + count * m * m;
    mean = static_cast<double>(m) / 255.0;
    deviation = std::sqrt(static_cast<double>(spread / count)) / 255.0;
  });
  if (frame.Failed()) mean = deviation = 0;
  return !frame.Failed();
}

double NormalizePictureBrightness(QImage& picture, const QString& method, double level, double mean,
                                  double deviation) {
  const double l = std::clamp(level, 0.01, 1.0);
  const double m = std::clamp(mean, 0.01, 1.0);
  const double factor = l / m;
  TStatusFrame frame(__FILE__, "NormalizePictureBrightness", __LINE__);
  frame.Run([&] {
    if (!HasPixels32(picture))
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to lock bitmap bits"));
    const TMethod chosen = MethodByName(method);
    if (chosen == TMethod::Unknown) return;
    const std::vector<uint8_t> table = BuildNormalizeTable(chosen, l, m, deviation);
    const int width = picture.width();
    uint8_t* const bits = picture.bits();
    const qsizetype stride = picture.bytesPerLine();
    ParallelRows(picture.height(), 256, [&](int begin, int end) {
      for (int y = begin; y < end; ++y) {
        uint8_t* pixel = bits + y * stride;
        for (int x = 0; x < width; ++x, pixel += 4) {
          const uint8_t* row = &table[static_cast<size_t>(Max3(pixel)) * 256];
          pixel[0] = row[pixel[0]];
          pixel[1] = row[pixel[1]];
          pixel[2] = row[pixel[2]];
        }
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
