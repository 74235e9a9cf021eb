// Decoding. JPEG goes to libjpeg directly: a wallpaper photo is often several times the screen
// size, and reducing it in the DCT step saves most of the inverse transform and colour
// conversion. Everything else (and JPEGs in CMYK) goes through QImageReader.
#include "MyGDIPlus/PictureDecode.h"

#include <QFile>
#include <QImageIOHandler>
#include <QImageReader>
#include <QTransform>
#include <algorithm>
#include <cstring>
#include <vector>

#include "MyGDIPlus/JpegRows.h"
#include "Platform/LargeMemory.h"

namespace {

QImage Oriented(QImage image, QImageIOHandler::Transformations transform) {
  // Mirror first, then turn, as the EXIF orientations are defined.
  const bool mirror = transform.testFlag(QImageIOHandler::TransformationMirror);
  const bool flip = transform.testFlag(QImageIOHandler::TransformationFlip);
  if (mirror || flip) image = std::move(image).mirrored(mirror, flip);
  if (transform.testFlag(QImageIOHandler::TransformationRotate90))
    image = image.transformed(QTransform().rotate(90));
  return image;
}

// Row `y` of a picture's pixels stored 3 bytes each, back to back, in the last three quarters
// of its 32-bit buffer `bits` (whose rows have no padding).
uchar* PackedRow(uchar* bits, const QImage& image, int y) {
  const size_t width = static_cast<size_t>(image.width());
  const size_t pixels = width * static_cast<size_t>(image.height());
  return bits + pixels + 3 * width * static_cast<size_t>(y);
}

// Turns the packed rows into 32-bit pixels, front to back: pixel i lands on bytes 4i to 4i+3,
// which lie before the packed bytes of every pixel after it, so nothing unread is overwritten.
void WidenPackedRows(uchar* bits, const QImage& image) {
  const size_t pixels = static_cast<size_t>(image.width()) * static_cast<size_t>(image.height());
  const uchar* from = bits + pixels;
  for (size_t i = 0; i < pixels; ++i, from += 3) {
    const uint32_t pixel =
        0xFF000000u | (uint32_t{from[2]} << 16) | (uint32_t{from[1]} << 8) | uint32_t{from[0]};
    std::memcpy(bits + 4 * i, &pixel, 4);
  }
}

// The whole picture from libjpeg. False with `why` on failure, or with `needsToolkit` set.
bool RunJpeg(TDecodedPicture& picture, const QString& path, bool turned,
             const TDecodeScaleChooser& chooseScale, bool& needsToolkit, QString& why) {
  TJpegRows jpeg;
  if (!jpeg.Open(path, why)) {
    needsToolkit = jpeg.NeedsToolkit();
    return false;
  }
  const int numerator = TJpegRows::Numerator(
      chooseScale(turned ? jpeg.Height() : jpeg.Width(), turned ? jpeg.Width() : jpeg.Height()));
  // A progressive JPEG keeps every coefficient (3 to 6 bytes a pixel) until its last row is
  // out. Its rows come out 3 bytes a pixel into the last three quarters of the picture and are
  // widened in place once the coefficients are gone, so both together stay a quarter smaller.
  const bool packed = jpeg.IsProgressive();
  if (!jpeg.Start(numerator, packed, why)) return false;
  QImage image =
      Platform::AllocateLargeImage(jpeg.OutputWidth(), jpeg.OutputHeight(), QImage::Format_RGB32);
  if (image.isNull()) {
    why = QStringLiteral("Not enough memory for the picture.");
    return false;
  }
  uchar* const bits = image.bits();
  const qsizetype stride = image.bytesPerLine();
  std::vector<uchar*> rows(16);
  for (int y = 0; y < image.height();) {
    const int count = std::min(static_cast<int>(rows.size()), image.height() - y);
    for (int i = 0; i < count; ++i)
      rows[static_cast<size_t>(i)] =
          packed ? PackedRow(bits, image, y + i) : bits + (y + i) * stride;
    const int read = jpeg.Read(rows.data(), count, why);
    if (read == 0) return false;
    y += read;
  }
  if (!jpeg.Finish(why)) return false;
  if (packed) WidenPackedRows(bits, image);
  picture = {std::move(image), numerator / 8.0};
  return true;
}

TDecodedPicture DecodeWithReader(QImageReader& reader, const TDecodeScaleChooser& chooseScale,
                                 QString& why) {
  QImageReader::setAllocationLimit(static_cast<int>(MaxDecodedBytes >> 20));
  // The toolkit's limit counts the decoder's own format, which may be 1 byte per pixel; the
  // picture is refused before a byte of it is decoded.
  if (const QSize size = reader.size();
      size.isValid() && TooLargeToDecode(size.width(), size.height())) {
    why = QStringLiteral("The picture is too large.");
    return {};
  }
  reader.setAutoTransform(true);
  QImage image = reader.read();
  if (image.isNull()) {
    why = reader.errorString();
    return {};
  }
  if (TooLargeToDecode(image.width(), image.height())) {
    why = QStringLiteral("The picture is too large.");
    return {};
  }
  chooseScale(image.width(), image.height());
  image =
      image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (image.isNull()) why = QStringLiteral("Not enough memory for the picture.");
  return {image, 1.0};
}

}  // namespace

TDecodedPicture DecodePicture(const QString& path, const TDecodeScaleChooser& chooseScale,
                              QString& why) {
  QImageReader reader(path);
  if (reader.format() == "jpeg") {
    const QImageIOHandler::Transformations transform = reader.transformation();
    TDecodedPicture picture;
    bool needsToolkit = false;
    if (RunJpeg(picture, path, transform.testFlag(QImageIOHandler::TransformationRotate90),
                chooseScale, needsToolkit, why)) {
      picture.Image = Oriented(std::move(picture.Image), transform);
      return picture;
    }
    if (!needsToolkit) return {};
    reader.setFileName(path);  // start over from the beginning of the file
  }
  return DecodeWithReader(reader, chooseScale, why);
}
