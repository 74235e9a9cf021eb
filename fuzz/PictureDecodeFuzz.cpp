// Picture files as they come, through the path the program takes: the JPEG decoder with its
// reduction in the DCT step, the widening of progressive rows in place, the decoding thread the
// drawing follows, and the size checks on the header. The last three bytes choose the screen and
// settings, so the same picture is reduced by different factors:
//   [picture ...] [screen width - 1] [screen height - 1] [flags]
// flags: 1 fit and crop, 2 stretch, 4 fit before tile, 8 tile, 16 normalise, 32 gamma,
// 64 no minimum stretch size, 128 also decode alone with a reader following the rows.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QtGlobal>
#include <cstdint>
#include <cstdlib>
#include <thread>
#include <unistd.h>
#include <vector>

#include "MyGDIPlus/MyGDIPlus.h"
#include "MyGDIPlus/PictureDecode.h"
#include "MyGDIPlus/PictureRows.h"

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

// Decodes on a thread while this one reads every row as soon as it is published; each row must
// already be final then. The decoded size must follow the reduction chosen.
void DecodeFollowingRows(const QString& path, const TComposeParams& params) {
  int fullWidth = 0;
  int fullHeight = 0;
  double minScale = 1.0;
  TPictureRows rows;
  TDecodedPicture decoded;
  QString why;
  std::thread decoder([&] {
    decoded = DecodePicture(
        path,
        [&](int width, int height) {
          fullWidth = width;
          fullHeight = height;
          minScale = MinDecodeScale(ComputePictureLayout(width, height, params));
          return minScale;
        },
        why, &rows);
  });
  std::vector<QByteArray> seen;
  if (rows.WaitForBegin()) {
    const QImage picture = rows.TakeImage();
    for (int y = 0; y < picture.height() && rows.WaitForRows(y + 1); ++y)
      seen.emplace_back(reinterpret_cast<const char*>(picture.constScanLine(y)),
                        picture.width() * 4);
  }
  decoder.join();
  if (decoded.Image.isNull()) {
    if (why.isEmpty()) std::abort();  // a failure always says why
    return;
  }
  const QImage& image = decoded.Image;
  if (static_cast<int>(seen.size()) != image.height()) std::abort();
  for (int y = 0; y < image.height(); ++y)
    if (seen[y] != QByteArray::fromRawData(reinterpret_cast<const char*>(image.constScanLine(y)),
                                           image.width() * 4))
      std::abort();
  const double scale = decoded.Scale;
  if (scale != 1.0 && scale != 0.5 && scale != 0.25 && scale != 0.125) std::abort();
  if (scale < 1.0 && scale < minScale) std::abort();
  // libjpeg rounds reduced sizes up.
  const auto reduced = [&](int size) { return static_cast<int>((size * scale * 8 + 7) / 8); };
  if (image.width() != reduced(fullWidth) || image.height() != reduced(fullHeight)) std::abort();
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
  if (data[size - 1] & 128) DecodeFollowingRows(path, params);
  QFile::remove(path);
  return 0;
}
