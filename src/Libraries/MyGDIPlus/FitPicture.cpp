// The resize rule chain: which part of a picture is drawn where on the screen, and the load
// that turns a picture file into the screen-sized fitted picture.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "MyGDIPlus/Brightness.h"
#include "Error/Error.h"
#include "MyGDIPlus/MyGDIPlus.h"
#include "MyGDIPlus/PictureDecode.h"
#include "MyGDIPlus/PictureRows.h"
#include "Platform/LargeMemory.h"
#include "MyGDIPlus/Resample.h"

namespace {

double SkewOf(int width, int height, int destWidth, int destHeight) {
  const double s =
      (static_cast<double>(width) / height) / (static_cast<double>(destWidth) / destHeight);
  return s >= 1.0 ? s : 1.0 / s;
}

// a * b / c truncated; 64-bit so that very large pictures cannot overflow.
int MulDiv(int a, int b, int c) {
  return static_cast<int>(static_cast<int64_t>(a) * b / c);
}

// Decodes a picture, on a thread of its own when `follow` is set, so that the drawing can follow
// the rows as they are decoded (a large JPEG takes as long to decode as all the rest).
class TBackgroundDecode {
 public:
  TBackgroundDecode(const QString& file, const TDecodeScaleChooser& chooseScale, bool follow) {
    // The picture itself reaches the reader through Rows only.
    auto run = [this, file, chooseScale] {
      try {
        Decoded = !DecodePicture(file, chooseScale, Why, &Rows).Image.isNull();
      } catch (const std::bad_alloc&) {
        Why = QStringLiteral("Not enough memory for the picture.");
      } catch (...) {
        Why = QStringLiteral("The decoder failed.");
      }
    };
    if (!follow) {
      run();
      return;
    }
    try {
      Thread = std::thread(run);
    } catch (const std::system_error&) {
      run();  // no thread to be had: decode here, then draw
    }
  }
  ~TBackgroundDecode() { Join(); }

  TPictureRows Rows;

  // Waits for the end of decoding; false with the reason after a failure.
  bool Finish(QString& why) {
    Join();
    why = Why;
    return Decoded;
  }

 private:
  void Join() {
    if (Thread.joinable()) Thread.join();
  }

  bool Decoded = false;
  QString Why;
  std::thread Thread;
};

}  // namespace

TFitResult FitPictureSize(int width, int height, int destWidth, int destHeight, double* skew,
                          bool fit, bool stretch, double maxSkew, int minSize) {
  if (skew) *skew = 1.0;
  if (width < 1 || height < 1) return {};
  if (minSize >= 1) {
    const bool big = width >= minSize && height >= minSize;
    stretch = stretch && big;
    fit = fit && big;
  }
  // A screen without size has no aspect to compare with; treat it as a perfect match.
  const double s =
      destWidth > 0 && destHeight > 0 ? SkewOf(width, height, destWidth, destHeight) : 1.0;
  if (skew) *skew = s;
  if (stretch && (s <= maxSkew || maxSkew <= 0)) return {destWidth, destHeight, true};

  int w = fit ? destWidth : std::min(destWidth, width);
  int h = w == width ? height : MulDiv(height, w, width);
  if (h <= destHeight) return {w, h, false};
  h = fit ? destHeight : std::min(destHeight, height);
  w = h == height ? width : MulDiv(width, h, height);
  return {w, h, false};
}

// The reduction while decoding filters as well as the resampling does, so the resampling is left
// with a reduction of less than 2 (or an enlargement the picture needs anyway).
double MinDecodeScale(const TPictureLayout& layout) {
  if (layout.Source.isEmpty() || layout.Target.isEmpty()) return 1.0;
  return std::max(static_cast<double>(layout.Target.width()) / layout.Source.width(),
                  static_cast<double>(layout.Target.height()) / layout.Source.height());
}

TPictureLayout ComputePictureLayout(int width, int height, const TComposeParams& params) {
  TPictureLayout layout;
  const int dw = params.ScreenWidth;
  const int dh = params.ScreenHeight;
  QRect source(0, 0, width, height);
  int drawnWidth = dw;
  int drawnHeight = dh;
  bool stretched = false;
  const bool big = params.MinStretchSize < 1 ||
                   (width >= params.MinStretchSize && height >= params.MinStretchSize);
  if (params.FitAndCrop && big && dw > 0 && dh > 0) {
    const double rw = static_cast<double>(dw) / width;
    const double rh = static_cast<double>(dh) / height;
    if (rw >= rh) {
      const int used = static_cast<int>(height / (rw / rh));
      source = QRect(0, (height - used) / 2, width, used);
    } else {
      const int used = static_cast<int>(width / (rh / rw));
      source = QRect((width - used) / 2, 0, used, height);
    }
    stretched = true;
  } else {
    const TFitResult fitted =
        FitPictureSize(width, height, dw, dh, &layout.Skew, params.FitBeforeTile, params.Stretch,
                       params.MaxStretchSkew, params.MinStretchSize);
    drawnWidth = fitted.Width;
    drawnHeight = fitted.Height;
    stretched = fitted.Stretched;
  }
  int left = 0;
  int top = 0;
  if (!stretched && !params.FitAndCrop && !params.Tile) {
    left = (dw - drawnWidth) / 2;
    top = (dh - drawnHeight) / 2;
  }
  layout.Source = source;
  layout.Target = QRect(left, top, drawnWidth, drawnHeight);
  layout.Tiled = !stretched && !params.FitAndCrop && params.Tile;
  return layout;
}

bool LoadTilePictureToBitmap(const QString& file, QImage& bitmap, const TComposeParams& params,
                             double* normFactor, double* skew) {
  if (skew) *skew = 1.0;
  if (normFactor) *normFactor = 0.0;
  if (file.isEmpty()) return true;
  TStatusFrame frame(__FILE__, "LoadTilePictureToBitmap", __LINE__);
  frame.Run([&] {
    bitmap = QImage();
    const QString screen =
        QStringLiteral("%1 x %2").arg(params.ScreenWidth).arg(params.ScreenHeight);
    if (params.ScreenWidth < 1 || params.ScreenHeight < 1)
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to create bitmap."), file, screen);
    TPictureLayout layout;  // set by the decoding thread before the rows begin
    // Normalisation measures every pixel before the first is drawn, so there is nothing to
    // follow the decoder with; measured, decoding on this thread is then faster.
    TBackgroundDecode decode(
        file,
        [&](int width, int height) {
          layout = ComputePictureLayout(width, height, params);
          return MinDecodeScale(layout);
        },
        !params.Normalize);

    QString why;
    if (!decode.Rows.WaitForBegin()) {
      decode.Finish(why);
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to load picture."), file, why);
    }
    QImage picture = decode.Rows.TakeImage();

    // Made once the rows begin: a progressive JPEG's coefficients are gone by then, and a
    // baseline JPEG goes on decoding meanwhile.
    QImage canvas =
        Platform::AllocateLargeImage(params.ScreenWidth, params.ScreenHeight, QImage::Format_RGB32);
    if (canvas.isNull())
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to create bitmap."), file, screen);
    // An opaque picture drawn over the whole canvas leaves nothing of the fill to see.
    if (picture.hasAlphaChannel() || layout.Source.isEmpty() ||
        !layout.Target.contains(canvas.rect()))
      canvas.fill(params.FillColor.rgb());

    // Normalised on the decoded pixels: for a large JPEG these come reduced from the DCT step,
    // which moves a photo's mean brightness by less than one level in 255; the whole level the
    // factor is taken from can still change (bench/compare normalisation measures it). The
    // table is applied as the drawing reads the pixels.
    std::vector<uint8_t> normalize;
    double factor = 0.0;
    if (params.Normalize) {
      // Decoded on this thread (above): a picture that failed half way is not measured.
      if (!decode.Finish(why))
        frame.Raise(__LINE__, fsError, QStringLiteral("Failed to load picture."), file, why);
      double mean = 0;
      double deviation = 0;
      MeasureBrightness(picture, mean, deviation);
      normalize = NormalizeTable(params.NormalizeMethod, params.NormalizeLevel, mean, deviation);
      factor = NormalizeFactor(params.NormalizeLevel, mean);
    }

    uint8_t gamma[256];
    const bool useGamma = IsGammaApplied(params.Gamma);
    if (useGamma) BuildGammaTable(params.Gamma, gamma);
    const double scale = decode.Rows.Scale();
    const QRectF source(layout.Source.x() * scale, layout.Source.y() * scale,
                        layout.Source.width() * scale, layout.Source.height() * scale);
    // Only a picture decoded whole may need converting: once the decoder has let go of it too,
    // that happens in place instead of in a copy of a possibly huge picture.
    if (picture.format() != QImage::Format_RGB32) decode.Finish(why);
    picture = PrepareForDrawing(std::move(picture));
    DrawPictureRect(picture, source, canvas, layout.Target, useGamma ? gamma : nullptr,
                    {normalize.empty() ? nullptr : normalize.data(),
                     [&](int rows) { return decode.Rows.WaitForRows(rows); }});
    if (!decode.Finish(why))
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to load picture."), file, why);
    if (normFactor) *normFactor = factor;
    if (layout.Tiled) TilePicture(canvas, layout.Target.size());
    if (skew) *skew = layout.Skew;
    bitmap = std::move(canvas);
  });
  if (frame.Failed()) bitmap = QImage();
  return !frame.Failed();
}
