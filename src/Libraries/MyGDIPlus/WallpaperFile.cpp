// The wallpaper file: a 24-bit uncompressed bitmap of the screen's size, and handing it to the
// desktop.
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QScopeGuard>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <immintrin.h>
#include <system_error>
#include <thread>
#include <unistd.h>

#include "Error/Error.h"
#include "File/File.h"
#include "MyGDIPlus/MyGDIPlus.h"
#include "MyGDIPlus/RowRing.h"
#include "Platform/LargeMemory.h"
#include "Platform/ReleaseLater.h"
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

bool WriteAll(int fd, const uchar* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Rows of blue, green, red, padded to 4 bytes, bottom-up. Packed in blocks on this thread while
// a helper writes the blocks packed before: copying a block into the page cache costs about as
// much as packing it, so the two overlap instead of adding up.
bool WriteBitmap(int fd, const QImage& image) {
  const QImage pixels = image.convertToFormat(QImage::Format_RGB32);
  const uint32_t width = static_cast<uint32_t>(pixels.width());
  const uint32_t height = static_cast<uint32_t>(pixels.height());
  const uint32_t stride = (width * 3 + 3) & ~3u;
  const QByteArray header = BitmapHeader(width, height, stride * height);
  if (!WriteAll(fd, reinterpret_cast<const uchar*>(header.constData()), HeaderBytes)) return false;
  const int rowsPerBlock = static_cast<int>(std::max(1u, (1u << 20) / std::max(stride, 1u)));
  const int rows = static_cast<int>(height);
  // Whole blocks of the ring are contiguous, so each goes out in one write.
  TRowRing ring(stride, 3 * rowsPerBlock);
  const auto packRow = Platform::HasWideVectors() ? PackRowWide : PackRow;
  const auto pack = [&](int begin, int end) {
    for (int y = begin; y < end; ++y) {
      uchar* out = ring.Slot(y);
      packRow(pixels.constScanLine(rows - 1 - y), out, width);
      std::memset(out + width * 3, 0, stride - width * 3);  // padding
    }
  };
  bool written = true;
  int error = 0;
  const auto writeBlock = [&](int begin, int end) {
    if (WriteAll(fd, ring.Slot(begin), static_cast<size_t>(end - begin) * stride)) {
      ring.Release(end);
    } else {
      written = false;
      error = errno;
      ring.Stop();  // the packing stops waiting for room
    }
  };
  std::thread writer;
  try {
    writer = std::thread([&] {
      for (int begin = 0; begin < rows && written; begin += rowsPerBlock) {
        const int end = std::min(begin + rowsPerBlock, rows);
        if (!ring.Row(end - 1)) break;
        writeBlock(begin, end);
      }
    });
  } catch (const std::system_error&) {
  }
  for (int begin = 0; begin < rows; begin += rowsPerBlock) {
    const int end = std::min(begin + rowsPerBlock, rows);
    if (!ring.WaitForRoom(end)) break;
    pack(begin, end);
    ring.Publish(end);
    if (!writer.joinable()) writeBlock(begin, end);  // no helper to be had: write it here
  }
  ring.End();
  if (writer.joinable()) writer.join();
  errno = error;
  return written;
}

}  // namespace

bool SaveBitmapFile(const QImage& image, const QString& path) {
  TStatusFrame frame(__FILE__, "SaveBitmapFile", __LINE__);
  frame.Run([&] {
    if (image.isNull())
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to save wallpaper."), path,
                  QStringLiteral("No picture."));
    // The file replaced keeps its pages until its last user lets go; freeing 25 MB of them
    // made the rename take milliseconds. Held open here, they are freed on a helper instead.
    const int replaced =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    errno = 0;
    const bool written = WriteFileAtomically(
        path, [&](int fd) { return WriteBitmap(fd, image); }, false, false);
    const int error = errno;
    if (replaced >= 0) Platform::CloseLater(replaced);
    errno = error;
    if (!written)
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to save wallpaper."), path, {},
                  static_cast<uint32_t>(errno));
  });
  return !frame.Failed();
}

namespace {

// Rows [`from`, `from` + count) of `source` over the rows from `to` of `target`, as wide.
void CopyRows(const QImage& source, int from, QImage& target, int to, int count) {
  const size_t bytes = static_cast<size_t>(std::min(source.bytesPerLine(), target.bytesPerLine()));
  for (int y = 0; y < count; ++y)
    std::memcpy(target.scanLine(to + y), source.constScanLine(from + y), bytes);
}

}  // namespace

bool ComposeWallpaper(QImage& fitted, const QRect& reach,
                      const std::function<void(QPainter&)>& paint,
                      const Platform::TWallpaperLayout& layout) {
  TStatusFrame frame(__FILE__, "ComposeWallpaper", __LINE__);
  frame.Run([&] {
    const QRect rows = QRect(0, reach.y(), fitted.width(), reach.height()) & fitted.rect();
    QImage saved;
    if (paint && !rows.isEmpty()) {
      saved = Platform::AllocateLargeImage(rows.width(), rows.height(), fitted.format());
      if (saved.isNull())
        frame.Raise(__LINE__, fsError, QStringLiteral("Failed to create bitmap."),
                    QStringLiteral("%1 x %2").arg(rows.width()).arg(rows.height()));
      CopyRows(fitted, rows.y(), saved, 0, rows.height());
    }
    // Also when painting, saving or setting fails: the cached picture must stay unpainted.
    const auto restore = qScopeGuard([&] {
      if (!saved.isNull()) CopyRows(saved, 0, fitted, rows.y(), rows.height());
    });
    // Painted also with no rows to reach: the painting is still tried (and recorded).
    if (paint) {
      QPainter painter(&fitted);
      painter.setClipRect(rows);
      paint(painter);
    }
    SaveBitmapFile(fitted, GetOperatorPath() + QLatin1String(WallpaperFileName));
    frame.Check();
    SetFileAsWallpaper(QLatin1String(WallpaperFileName), fitted, layout);
    frame.Check();
  });
  return !frame.Failed();
}

bool SetFileAsWallpaper(const QString& name, const QImage& picture,
                        const Platform::TWallpaperLayout& layout) {
  TStatusFrame frame(__FILE__, "SetFileAsWallpaper", __LINE__);
  frame.Run([&] {
    const QString path = GetOperatorPath() + name;
    QString why;
    if (!Platform::SessionWallpaperSetter()->Set(path, picture, layout, why)) {
      // A change from the timer or a hot key reports to nobody; the session log still tells
      // why the desktop kept its old picture.
      std::fprintf(stderr, "Backdropper: Failed to set wallpaper. %s: %s\n", qPrintable(path),
                   qPrintable(why));
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to set wallpaper."), path, why);
    }
  });
  return !frame.Failed();
}
