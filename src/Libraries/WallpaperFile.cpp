// The wallpaper file: a 24-bit uncompressed bitmap of the screen's size, and handing it to the
// desktop.
#include <QDir>
#include <QSaveFile>
#include <cstring>

#include "Error.h"
#include "MyGDIPlus.h"
#include "Platform/WallpaperSetter.h"

namespace {

void Put16(uint8_t* at, uint16_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

constexpr uint32_t HeaderBytes = 14 + 40;

// File header, info header and bottom-up rows of blue, green, red, padded to 4 bytes.
QByteArray EncodeBitmap(const QImage& image) {
  const QImage pixels = image.convertToFormat(QImage::Format_RGB32);
  const uint32_t width = static_cast<uint32_t>(pixels.width());
  const uint32_t height = static_cast<uint32_t>(pixels.height());
  const uint32_t stride = (width * 3 + 3) & ~3u;
  const uint32_t dataBytes = stride * height;
  QByteArray file(static_cast<qsizetype>(HeaderBytes + dataBytes), '\0');
  uint8_t* out = reinterpret_cast<uint8_t*>(file.data());
  out[0] = 'B';
  out[1] = 'M';
  Put32(out + 2, HeaderBytes + dataBytes);
  Put32(out + 10, HeaderBytes);
  Put32(out + 14, 40);
  Put32(out + 18, width);
  Put32(out + 22, height);  // positive: rows stored bottom-up
  Put16(out + 26, 1);       // planes
  Put16(out + 28, 24);      // bits per pixel
  Put32(out + 30, 0);       // no compression
  Put32(out + 34, dataBytes);
  Put32(out + 38, 2835);  // 72 dpi
  Put32(out + 42, 2835);
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* in = pixels.constScanLine(static_cast<int>(height - 1 - y));
    uint8_t* row = out + HeaderBytes + static_cast<size_t>(y) * stride;
    for (uint32_t x = 0; x < width; ++x, in += 4, row += 3) std::memcpy(row, in, 3);
  }
  return file;
}

}  // namespace

QString GetWallpaperDirectory() {
  QString data = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME"));
  if (data.isEmpty()) data = QDir::homePath() + QStringLiteral("/.local/share");
  const QString directory = data + QStringLiteral("/backdropper/");
  QDir().mkpath(directory);
  return directory;
}

bool SaveBitmapFile(const QImage& image, const QString& path) {
  TStatusFrame frame(__FILE__, "SaveBitmapFile", __LINE__);
  frame.Run([&] {
    if (image.isNull())
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to save wallpaper."), path,
                  QStringLiteral("No picture."));
    // Written beside the old file and renamed over it, so a reader never sees half a picture.
    QSaveFile file(path);
    const QByteArray bytes = EncodeBitmap(image);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to save wallpaper."), path,
                  file.errorString());
  });
  return !frame.Failed();
}

bool ComposeWallpaper(const QImage& fitted, const std::function<void(QImage&)>& paint) {
  TStatusFrame frame(__FILE__, "ComposeWallpaper", __LINE__);
  frame.Run([&] {
    QImage wallpaper = fitted;  // painting detaches it; the fitted picture stays as it is
    if (paint) paint(wallpaper);
    SaveBitmapFile(wallpaper, GetWallpaperDirectory() + QLatin1String(WallpaperFileName));
    frame.Check();
    SetFileAsWallpaper(QLatin1String(WallpaperFileName));
    frame.Check();
  });
  return !frame.Failed();
}

bool SetFileAsWallpaper(const QString& name) {
  TStatusFrame frame(__FILE__, "SetFileAsWallpaper", __LINE__);
  frame.Run([&] {
    const QString path = GetWallpaperDirectory() + name;
    QString why;
    if (!Platform::SessionWallpaperSetter()->Set(path, why))
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to set wallpaper."), path, why);
  });
  return !frame.Failed();
}
