// Translucent colours for the calendar: a translucency percent as alpha, a colour value with a
// translucency as one 32-bit ARGB value.
#pragma once

#include <QRgb>
#include <cstdint>

// 0 (opaque) to 100 (invisible), clamped, as alpha 255 to 0 rounded half up.
int TranslucencyToAlpha(int translucency);
// Alpha from the translucency, red from bits 0-7 of the colour value, green 8-15, blue 16-23.
// A system colour is first resolved to the palette colour its panel shows; "no colour" gives
// alpha 0, so it paints nothing.
QRgb ColorToArgb(int32_t color, int translucency);
