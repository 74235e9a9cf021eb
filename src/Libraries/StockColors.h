// The program's own table of named colours. Names are stored in skin and options files, so the
// order, names and values never change.
#pragma once

#include <QColor>
#include <QString>
#include <array>
#include <cstdint>

struct TStockColor {
  int32_t Color;     // red in the low byte, then green, then blue
  const char* Name;  // at most 31 characters, unique
};

inline constexpr int StockColorCount = 133;
extern const std::array<TStockColor, StockColorCount> CStockColors;

// The first record whose name equals `name` ignoring ASCII letter case.
bool FindStockColor(const QString& name, int32_t& color);
// The name of the first record holding exactly `color`; empty when none does.
QString StockColorName(int32_t color);

// The on-screen colour of a colour value (system colours map to the palette's roles).
QColor ColorValueToQColor(int32_t color);
// The plain colour value of an on-screen colour (its alpha is dropped).
int32_t QColorToColorValue(const QColor& color);

// " (RGB r-g-b; Decimal = n; Hexadecimal = 0xHHHHHH)" where n and H read red, green, blue from the
// top down (the reverse of the stored value), as colour pickers show them.
QString ColorDescription(int32_t color);
