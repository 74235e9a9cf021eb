#include "MyGDIPlus/Translucency.h"

#include <QColor>
#include <algorithm>

#include "StockColors.h"

namespace {
constexpr uint32_t NoColor = 0x1FFFFFFFu;
constexpr uint32_t SystemColorBit = 0x80000000u;
}  // namespace

int TranslucencyToAlpha(int translucency) {
  const int t = std::clamp(translucency, 0, 100);
  // Integer arithmetic: the exact halves (30, 50, 70, 90) must round up.
  return ((100 - t) * 255 + 50) / 100;
}

QRgb ColorToArgb(int32_t color, int translucency) {
  const uint32_t value = static_cast<uint32_t>(color);
  if (value == NoColor) return 0;
  uint32_t rgb = value;
  if (value & SystemColorBit) {
    const QColor resolved = ColorValueToQColor(color);
    rgb = static_cast<uint32_t>(resolved.red()) | static_cast<uint32_t>(resolved.green()) << 8 |
          static_cast<uint32_t>(resolved.blue()) << 16;
  }
  return qRgba(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
               static_cast<int>((rgb >> 16) & 0xFF), TranslucencyToAlpha(translucency));
}
