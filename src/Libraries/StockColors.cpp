#include "StockColors.h"

#include "AsciiText.h"

#include <QGuiApplication>
#include <QPalette>

namespace {
constexpr int32_t RGB(int red, int green, int blue) {
  return red | (green << 8) | (blue << 16);
}
}  // namespace

const std::array<TStockColor, StockColorCount> CStockColors = {{
    {RGB(0, 0, 0), "Black"},
    {RGB(50, 50, 50), "Fade Black"},
    {RGB(75, 75, 75), "Light Black"},
    {RGB(90, 90, 90), "Bright Black"},
    {RGB(0, 75, 75), "Blue Black"},
    {RGB(80, 110, 110), "Light Blue Black"},
    {RGB(75, 120, 120), "Blue Gray"},
    {RGB(0, 130, 130), "Teal"},
    {RGB(10, 140, 140), "Light Teal"},
    {RGB(110, 110, 110), "Dark Gray"},
    {RGB(120, 120, 120), "Fade Gray"},
    {RGB(130, 130, 130), "Gray"},
    {RGB(160, 160, 160), "Light Gray"},
    {RGB(190, 190, 190), "Silver"},
    {RGB(230, 230, 230), "Gray White"},
    {RGB(245, 245, 245), "Light Gray White"},
    {RGB(255, 255, 255), "White"},
    {RGB(245, 245, 225), "Soft White"},
    {RGB(255, 245, 220), "Soft Fade White"},
    {RGB(240, 240, 210), "Fade White"},
    {RGB(230, 230, 215), "Soft Gray White"},
    {RGB(225, 215, 200), "Cream White"},
    {RGB(230, 215, 200), "Pink White"},
    {RGB(250, 245, 235), "Fade Pink White"},
    {RGB(225, 215, 210), "Dark Pink White"},
    {RGB(205, 195, 170), "Bright Cream Gray"},
    {RGB(190, 180, 150), "Light Cream Gray"},
    {RGB(185, 170, 135), "Cream Gray"},
    {RGB(160, 145, 105), "Fade Cream Gray"},
    {RGB(150, 130, 95), "Dark Cream Gray"},
    {RGB(145, 120, 85), "Gloom Cream Gray"},
    {RGB(110, 90, 65), "Dark Olive"},
    {RGB(95, 85, 65), "Gloom Olive"},
    {RGB(30, 30, 50), "Gloom Blue"},
    {RGB(0, 0, 65), "Dark Blue"},
    {RGB(50, 60, 85), "Dark Navy"},
    {RGB(75, 90, 120), "Fade Navy"},
    {RGB(0, 0, 130), "Navy"},
    {RGB(0, 0, 160), "Blue"},
    {RGB(0, 0, 200), "Light Blue"},
    {RGB(0, 0, 255), "Bright Blue"},
    {RGB(0, 50, 150), "Dark Pastel Blue"},
    {RGB(0, 80, 150), "Fade Pastel Blue"},
    {RGB(0, 100, 200), "Pastel Blue"},
    {RGB(20, 110, 240), "Dark Turquoise"},
    {RGB(60, 155, 220), "Fade Turquoise"},
    {RGB(80, 150, 255), "Turquoise"},
    {RGB(0, 255, 255), "Aqua"},
    {RGB(200, 255, 255), "Light Aqua"},
    {RGB(225, 255, 255), "Bright Aqua"},
    {RGB(185, 215, 220), "Soft Aqua"},
    {RGB(155, 200, 205), "Fade Aqua"},
    {RGB(140, 185, 195), "Dark Aqua"},
    {RGB(120, 180, 190), "Gloom Aqua"},
    {RGB(150, 150, 205), "Blue Fuchsia"},
    {RGB(125, 125, 195), "Fade Blue Fuchsia"},
    {RGB(105, 100, 180), "Dark Blue Fuchsia"},
    {RGB(100, 200, 200), "Bright Vernil"},
    {RGB(20, 180, 150), "Light Vernil"},
    {RGB(85, 170, 135), "Vernil"},
    {RGB(15, 145, 115), "Fade Vernil"},
    {RGB(0, 130, 95), "Dark Vernil"},
    {RGB(0, 90, 65), "Gloom Vernil"},
    {RGB(0, 65, 45), "Bleak Vernil"},
    {RGB(130, 0, 130), "Purple"},
    {RGB(130, 40, 115), "Dark Lavender"},
    {RGB(150, 50, 135), "Lavender"},
    {RGB(255, 0, 255), "Fuchsia"},
    {RGB(255, 170, 255), "Light Fuchsia"},
    {RGB(200, 0, 100), "Light Cherry"},
    {RGB(180, 0, 90), "Cherry"},
    {RGB(130, 0, 65), "Dark Cherry"},
    {RGB(130, 65, 65), "Fade Cherry"},
    {RGB(130, 0, 0), "Gloom Red"},
    {RGB(170, 0, 0), "Dark Red"},
    {RGB(210, 0, 0), "Red"},
    {RGB(255, 50, 0), "Pastel Red"},
    {RGB(255, 0, 0), "Light Red"},
    {RGB(255, 90, 90), "Dark Pink"},
    {RGB(255, 120, 75), "Pastel Pink"},
    {RGB(255, 130, 130), "Pink"},
    {RGB(255, 140, 40), "Light Orange"},
    {RGB(255, 120, 0), "Orange"},
    {RGB(255, 105, 10), "Near Dark Orange"},
    {RGB(255, 90, 0), "Dark Orange"},
    {RGB(140, 70, 40), "Maroon"},
    {RGB(150, 80, 10), "Dark Ochre"},
    {RGB(185, 110, 25), "Ochre"},
    {RGB(205, 150, 0), "Pastel Ochre"},
    {RGB(185, 130, 95), "Light Maroon"},
    {RGB(240, 150, 90), "Brick"},
    {RGB(255, 200, 140), "Fade Brick"},
    {RGB(255, 205, 155), "Light Brick"},
    {RGB(255, 220, 180), "Bright Brick"},
    {RGB(230, 220, 190), "Bright Cream"},
    {RGB(225, 225, 175), "Soft Cream"},
    {RGB(230, 205, 150), "Fade Cream"},
    {RGB(225, 200, 135), "Cream"},
    {RGB(200, 200, 140), "Bright Hemp"},
    {RGB(190, 190, 110), "Light Hemp"},
    {RGB(185, 170, 95), "Fade Hemp"},
    {RGB(170, 150, 75), "Medium Hemp"},
    {RGB(160, 140, 70), "Hemp"},
    {RGB(130, 130, 65), "Dark Hemp"},
    {RGB(255, 200, 90), "Cream Yellow"},
    {RGB(255, 205, 100), "Pastel Cream Yellow"},
    {RGB(255, 220, 140), "Light Cream Yellow"},
    {RGB(240, 200, 45), "Fade Yellow"},
    {RGB(255, 200, 0), "Pastel Yellow"},
    {RGB(230, 230, 0), "Mustard"},
    {RGB(255, 255, 0), "Yellow"},
    {RGB(255, 255, 155), "Light Yellow"},
    {RGB(240, 240, 175), "Soft Yellow"},
    {RGB(240, 225, 175), "Tender Yellow"},
    {RGB(255, 255, 200), "Bright Yellow"},
    {RGB(255, 255, 215), "Brilliant Yellow"},
    {RGB(225, 240, 175), "Brilliant Yellow Green"},
    {RGB(185, 205, 150), "Light Olive"},
    {RGB(200, 215, 170), "Soft Olive"},
    {RGB(215, 220, 190), "Tender Olive"},
    {RGB(230, 235, 215), "Bright Olive"},
    {RGB(140, 160, 105), "Fade Olive"},
    {RGB(180, 180, 0), "Yellow Green"},
    {RGB(130, 130, 0), "Olive"},
    {RGB(0, 85, 0), "Dark Green"},
    {RGB(0, 105, 0), "Near Dark Green"},
    {RGB(0, 130, 0), "Green"},
    {RGB(0, 150, 0), "Fade Green"},
    {RGB(20, 180, 15), "Light Green"},
    {RGB(100, 200, 50), "Pastel Green"},
    {RGB(0, 255, 0), "Lime"},
    {RGB(0, 255, 130), "Bright Green"},
    {RGB(200, 255, 200), "Light Pastel Green"},
}};

bool FindStockColor(const QString& name, int32_t& color) {
  for (const TStockColor& stock : CStockColors) {
    if (SameTextAscii(QStringView(name), QLatin1StringView(stock.Name))) {
      color = stock.Color;
      return true;
    }
  }
  return false;
}

QString StockColorName(int32_t color) {
  for (const TStockColor& stock : CStockColors)
    if (stock.Color == color) return QString::fromLatin1(stock.Name);
  return {};
}

QColor ColorValueToQColor(int32_t color) {
  const uint32_t value = static_cast<uint32_t>(color);
  if (value == 0x1FFFFFFFu) return QColor(Qt::transparent);
  if (value & 0x80000000u) {
    // The classic system colour indices, mapped to the nearest palette role.
    static const QPalette::ColorRole roles[] = {QPalette::Button,
                                                QPalette::Window,
                                                QPalette::Highlight,
                                                QPalette::Mid,
                                                QPalette::Window,
                                                QPalette::Base,
                                                QPalette::Shadow,
                                                QPalette::WindowText,
                                                QPalette::Text,
                                                QPalette::HighlightedText,
                                                QPalette::Mid,
                                                QPalette::Midlight,
                                                QPalette::Dark,
                                                QPalette::Highlight,
                                                QPalette::HighlightedText,
                                                QPalette::Button,
                                                QPalette::Dark,
                                                QPalette::PlaceholderText,
                                                QPalette::ButtonText,
                                                QPalette::WindowText,
                                                QPalette::Light,
                                                QPalette::Shadow,
                                                QPalette::Midlight,
                                                QPalette::ToolTipText,
                                                QPalette::ToolTipBase};
    const uint32_t index = value & 0xFF;
    if (index < std::size(roles)) return QGuiApplication::palette().color(roles[index]);
    return QColor(Qt::black);
  }
  return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

int32_t QColorToColorValue(const QColor& color) {
  const QColor rgb = color.toRgb();
  return RGB(rgb.red(), rgb.green(), rgb.blue());
}

QString ColorDescription(int32_t color) {
  const int red = color & 0xFF;
  const int green = (color >> 8) & 0xFF;
  const int blue = (color >> 16) & 0xFF;
  const int number = red * 65536 + green * 256 + blue;
  return QStringLiteral(" (RGB %1-%2-%3; Decimal = %4; Hexadecimal = 0x%5)")
      .arg(red)
      .arg(green)
      .arg(blue)
      .arg(number)
      .arg(QStringLiteral("%1").arg(number, 6, 16, QLatin1Char('0')).toUpper());
}
