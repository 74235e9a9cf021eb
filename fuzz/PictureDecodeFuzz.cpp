// Picture files as they come, through the path the program takes: the JPEG decoder with its
// reduction in the DCT step, the widening of progressive rows in place, the decoding thread whose
// rows the drawing follows through a ring, and the size checks on the header. The last three bytes
// choose the screen and settings, so the same picture is reduced by different factors:
//   [picture ...] [screen width - 1] [screen height - 1] [flags]
// flags: 1 fit and crop, 2 stretch, 4 fit before tile, 8 tile, 16 normalise, 32 gamma,
// 64 no minimum stretch size, 128 also decode alone, whole and row by row.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageIOHandler>
#include <QImageReader>
#include <QtGlobal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

#include "MyGDIPlus/MyGDIPlus.h"
#include "MyGDIPlus/PictureDecode.h"
#include "MyGDIPlus/JpegRows.h"

namespace {

TComposeParams ParamsFrom(const uint8_t* tail) {
  TComposeParams params;
  params.ScreenWidth = 1 + tail[0];
  params.ScreenHeight = 1 + tail[1];
  const uint8_t flags = tail[2];
  params.FitAndCrop = flags & 1;
  params.Stretch = flags & 2;
  params.FitBeforeTile = flags & 4;
  params.Tile = flags & 8;
  params.Normalize = flags & 16;
  params.Gamma = flags & 32 ? 140 : 100;
  params.MinStretchSize = flags & 64 ? 0 : 300;
  params.FillColor = QColor(0x20, 0x40, 0x60);
  return params;
}

// Decodes the picture whole, and an upright JPEG again row by row in chunks of `chunk` rows, as
// the compose streams it: the rows must be those of the whole picture, and a file must fail
// either way or neither. The decoded size must follow the reduction chosen.
void DecodeByRows(const QString& path, const TComposeParams& params, int chunk) {
  int fullWidth = 0;
  int fullHeight = 0;
  double minScale = 1.0;
  QString why;
  const TDecodedPicture decoded = DecodePicture(
      path,
      [&](int width, int height) {
        fullWidth = width;
        fullHeight = height;
        minScale = MinDecodeScale(ComputePictureLayout(width, height, params));
        return minScale;
      },
      why);
  const QImage& image = decoded.Image;
  if (image.isNull() && why.isEmpty()) std::abort();  // a failure always says why
  if (!image.isNull()) {
    const double scale = decoded.Scale;
    if (scale != 1.0 && scale != 0.5 && scale != 0.25 && scale != 0.125) std::abort();
    if (scale < 1.0 && scale < minScale) std::abort();
    // libjpeg rounds reduced sizes up.
    const auto reduced = [&](int size) { return static_cast<int>((size * scale * 8 + 7) / 8); };
    if (image.width() != reduced(fullWidth) || image.height() != reduced(fullHeight)) std::abort();
  }

  QImageReader reader(path);
  if (reader.format() != "jpeg" || reader.transformation() != QImageIOHandler::TransformationNone)
    return;
  TJpegRows jpeg;
  QString rowsWhy;
  if (!jpeg.Open(path, rowsWhy) || !jpeg.Start(TJpegRows::Numerator(minScale), false, rowsWhy)) {
    if (!jpeg.NeedsToolkit() && !image.isNull()) std::abort();
    return;
  }
  const int width = jpeg.OutputWidth();
  const int height = jpeg.OutputHeight();
  if (!image.isNull() && image.size() != QSize(width, height)) std::abort();
  std::vector<uchar> band(static_cast<size_t>(width) * 4 * static_cast<size_t>(chunk));
  std::vector<uchar*> rows(static_cast<size_t>(chunk));
  for (int i = 0; i < chunk; ++i)
    rows[static_cast<size_t>(i)] = band.data() + static_cast<size_t>(i) * width * 4;
  int y = 0;
  while (y < height) {
    const int read = jpeg.Read(rows.data(), chunk, rowsWhy);
    if (read == 0) break;
    if (read > chunk || read > height - y) std::abort();
    for (int i = 0; i < read && !image.isNull(); ++i)
      if (std::memcmp(rows[static_cast<size_t>(i)], image.constScanLine(y + i),
                      static_cast<size_t>(width) * 4) != 0)
        std::abort();
    y += read;
  }
  const bool complete = y == height && jpeg.Finish(rowsWhy);
  if (complete == image.isNull()) std::abort();
  if (!complete && rowsWhy.isEmpty()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The toolkit's decoder warns about every damaged file; printing that costs most of the time.
  static const bool quiet =
      (qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {}), true);
  (void)quiet;
  if (size < 3) return 0;
  static const QString path =
      QDir::tempPath() + QStringLiteral("/PictureDecodeFuzz-%1.jpg").arg(::getpid());
  {
    // The settings bytes stay in the file: a decoder reads nothing after the picture's end.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  }
  const TComposeParams params = ParamsFrom(data + size - 3);

  QImage bitmap;
  double factor = -1;
  double skew = -1;
  if (LoadTilePictureToBitmap(path, bitmap, params, &factor, &skew)) {
    if (bitmap.size() != QSize(params.ScreenWidth, params.ScreenHeight)) std::abort();
    if (factor < 0 || factor > 100 || (!params.Normalize && factor != 0)) std::abort();
    if (skew < 1.0) std::abort();
  } else if (!bitmap.isNull()) {
    std::abort();  // a failed load leaves no picture behind
  }
  if (data[size - 1] & 128) DecodeByRows(path, params, 1 + data[size - 2] % 19);
  QFile::remove(path);
  return 0;
}
