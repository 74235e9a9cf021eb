// Text on the wallpaper, plain, with a drop shadow or with an outline, optionally over a filled
// and framed box.
#pragma once

#include <QString>
#include <cstdint>

struct TDrawContext;

// String alignments, horizontal and vertical, within the layout rectangle.
enum TStringAlignment : int { saNear = 0, saCenter = 1, saFar = 2 };

// Draws `text` in the layout rectangle (x, y, width, height), in pixels, status frame
// "PaintText". Translucencies are percentages (100 draws nothing), colours are colour values.
// Shadow wins over outline; the shadow is the text again, moved by the shifts, under it; the
// outline is a stroke of `outlineThickness` pixels that the text's fill covers half of. A font
// that is not installed draws no text (the box still is) and records its status in `context`.
void PaintText(TDrawContext& context, const QString& text, const QString& fontName,
               int boxFillTranslucency, int32_t boxFillColor, int boxFrameTranslucency,
               int32_t boxFrameColor, bool drawBox, int outlineThickness, bool outline,
               int effectTranslucency, int32_t effectColor, int verticalShadowShift,
               int horizontalShadowShift, bool shadow, int textTranslucency, int32_t textColor,
               int lineAlignment, int alignment, bool italic, bool bold, int fontSize, double x,
               double y, double width, double height);
