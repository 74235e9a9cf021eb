// The wallpaper file: a 24-bit uncompressed bitmap of the screen's size, and handing it to the
// desktop.
#include <QDir>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <immintrin.h>
#include <unistd.h>

#include "Error/Error.h"
#include "File/File.h"
#include "MyGDIPlus/MyGDIPlus.h"
#include "Platform/VectorState.h"
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

// File header and info header of an uncompressed, bottom-up, 24-bit bitmap.
QByteArray BitmapHeader(uint32_t width, uint32_t height, uint32_t dataBytes) {
  QByteArray header(HeaderBytes, '\0');
  uint8_t* out = reinterpret_cast<uint8_t*>(header.data());
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
  return header;
}

// A row's 32-bit pixels as blue, green, red.
void PackRow(const uint8_t* in, uint8_t* out, uint32_t width) {
  for (uint32_t x = 0; x < width; ++x, in += 4, out += 3) std::memcpy(out, in, 3);
}

// The same, four pixels at a time by a byte shuffle; each store writes 4 bytes past its 12,
// which the next store overwrites, so the last pixels go the plain way.
PIXEL_KERNEL_WIDE void PackRowWide(const uint8_t* in, uint8_t* out, uint32_t width) {
  const __m128i order = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  uint32_t x = 0;
  for (; x + 6 <= width; x += 4, in += 16, out += 12)
    _mm_storeu_si128(
        reinterpret_cast<__m128i*>(out),
        _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in)), order));
  PackRow(in, out, width - x);
}

// Rows of blue, green, red, padded to 4 bytes, written in blocks through a small buffer.
bool WriteBitmap(QFile& file, const QImage& image) {
  const QImage pixels = image.convertToFormat(QImage::Format_RGB32);
  const uint32_t width = static_cast<uint32_t>(pixels.width());
  const uint32_t height = static_cast<uint32_t>(pixels.height());
  const uint32_t stride = (width * 3 + 3) & ~3u;
  if (file.write(BitmapHeader(width, height, stride * height)) != HeaderBytes) return false;
  const uint32_t rowsPerBlock = std::max(1u, (1u << 20) / std::max(stride, 1u));
  QByteArray block(static_cast<qsizetype>(stride * rowsPerBlock), '\0');
  const auto packRow = Platform::HasWideVectors() ? PackRowWide : PackRow;
  for (uint32_t done = 0; done < height;) {
    const uint32_t rows = std::min(rowsPerBlock, height - done);
    for (uint32_t r = 0; r < rows; ++r) {
      const uint8_t* in = pixels.constScanLine(static_cast<int>(height - 1 - done - r));
      packRow(in, reinterpret_cast<uint8_t*>(block.data()) + static_cast<size_t>(r) * stride,
              width);
    }
    const qint64 bytes = static_cast<qint64>(rows) * stride;
    if (file.write(block.constData(), bytes) != bytes) return false;
    done += rows;
  }
  return true;
}

}  // namespace

bool SaveBitmapFile(const QImage& image, const QString& path) {
  TStatusFrame frame(__FILE__, "SaveBitmapFile", __LINE__);
  frame.Run([&] {
    if (image.isNull())
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to save wallpaper."), path,
                  QStringLiteral("No picture."));
    errno = 0;
    const bool written = WriteFileAtomically(
        path,
        [&](int fd) {
          QFile file;
          return file.open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle) &&
                 WriteBitmap(file, image) && file.flush();
        },
        false, false);
    if (!written)
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to save wallpaper."), path, {},
                  static_cast<uint32_t>(errno));
  });
  return !frame.Failed();
}

bool ComposeWallpaper(const QImage& fitted, const std::function<void(QImage&)>& paint) {
  TStatusFrame frame(__FILE__, "ComposeWallpaper", __LINE__);
  frame.Run([&] {
    QImage wallpaper = fitted;  // painting detaches it; the fitted picture stays as it is
    if (paint) paint(wallpaper);
    SaveBitmapFile(wallpaper, GetOperatorPath() + QLatin1String(WallpaperFileName));
    frame.Check();
    SetFileAsWallpaper(QLatin1String(WallpaperFileName), wallpaper);
    frame.Check();
  });
  return !frame.Failed();
}

bool SetFileAsWallpaper(const QString& name, const QImage& picture) {
  TStatusFrame frame(__FILE__, "SetFileAsWallpaper", __LINE__);
  frame.Run([&] {
    const QString path = GetOperatorPath() + name;
    QString why;
    if (!Platform::SessionWallpaperSetter()->Set(path, picture, why)) {
      // A change from the timer or a hot key reports to nobody; the session log still tells
      // why the desktop kept its old picture.
      std::fprintf(stderr, "Backdropper: Failed to set wallpaper. %s: %s\n", qPrintable(path),
                   qPrintable(why));
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to set wallpaper."), path, why);
    }
  });
  return !frame.Failed();
}
