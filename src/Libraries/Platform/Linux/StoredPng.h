// A PNG without compression, for desktops whose picture loader may lack BMP: the wallpaper is
// rewritten at every redraw, and deflating a screen-sized photo would cost ten times as long
// as writing it.
#pragma once

#include <QImage>
#include <QString>

namespace Platform {

// Writes `image` (any format; alpha is dropped) as an 8-bit RGB PNG whose data are stored
// deflate blocks. On failure returns false with the cause in `why`.
bool WriteStoredPng(const QImage& image, const QString& path, QString& why);

}  // namespace Platform
