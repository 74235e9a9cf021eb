// The resize rule chain: which part of a picture is drawn where on the screen, and the load
// that turns a picture file into the screen-sized fitted picture.
#include <QImageIOHandler>
#include <QImageReader>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "MyGDIPlus/Brightness.h"
#include "Error/Error.h"
#include "MyGDIPlus/MyGDIPlus.h"
#include "MyGDIPlus/PictureDecode.h"
#include "MyGDIPlus/JpegRows.h"
#include "MyGDIPlus/JpegStream.h"
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

// A screen-sized canvas, filled where the picture leaves anything to see. Null without memory.
QImage MakeCanvas(const TComposeParams& params, const TPictureLayout& layout, bool opaque) {
  QImage canvas =
      Platform::AllocateLargeImage(params.ScreenWidth, params.ScreenHeight, QImage::Format_RGB32);
  // An opaque picture drawn over the whole canvas leaves nothing of the fill to see.
  if (!canvas.isNull() &&
      (!opaque || layout.Source.isEmpty() || !layout.Target.contains(canvas.rect())))
    canvas.fill(params.FillColor.rgb());
  return canvas;
}

QRectF ScaledSource(const TPictureLayout& layout, double scale) {
  return {layout.Source.x() * scale, layout.Source.y() * scale, layout.Source.width() * scale,
          layout.Source.height() * scale};
}

// A JPEG that comes out upright, to be drawn as it is decoded; false when it needs the
// toolkit's decoder or turning.
bool DrawsAsDecoded(const QString& file) {
  QImageReader reader(file);
  return reader.format() == "jpeg" &&
         reader.transformation() == QImageIOHandler::TransformationNone;
}

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
    uint8_t gammaTable[256];
    const uint8_t* gamma = nullptr;
    if (IsGammaApplied(params.Gamma)) {
      BuildGammaTable(params.Gamma, gammaTable);
      gamma = gammaTable;
    }
    const auto failedToLoad = [&](const QString& why) {
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to load picture."), file, why);
    };
    const auto makeCanvas = [&](const TPictureLayout& layout, bool opaque) {
      QImage canvas = MakeCanvas(params, layout, opaque);
      if (canvas.isNull())
        frame.Raise(__LINE__, fsError, QStringLiteral("Failed to create bitmap."), file, screen);
      return canvas;
    };
    // Normalised on the decoded pixels, with the brightness of every one of them; when the
    // picture streams through, it no longer exists whole once that is known, so the drawn
    // canvas is normalised instead (the same wherever the picture is smooth).
    const auto normalizeTable = [&](const TBrightnessSums& brightness, double& factor) {
      double mean = 0;
      double deviation = 0;
      brightness.Result(mean, deviation);
      factor = NormalizeFactor(params.NormalizeLevel, mean);
      return NormalizeTable(params.NormalizeMethod, params.NormalizeLevel, mean, deviation);
    };

    TPictureLayout layout;
    QImage canvas;
    double factor = 0.0;
    QString why;
    bool drawn = false;
    TJpegRows jpeg;
    if (DrawsAsDecoded(file)) {
      if (jpeg.Open(file, why)) {
        layout = ComputePictureLayout(jpeg.Width(), jpeg.Height(), params);
        const int numerator = TJpegRows::Numerator(MinDecodeScale(layout));
        // At full size the decoder can hand over its planes, and the colour work moves to the
        // drawing thread, which has time to spare while the decoder has none.
        if (!(numerator == 8 && jpeg.StartPlanes(why)) && !jpeg.Start(numerator, false, why))
          failedToLoad(why);
        const QRectF source = ScaledSource(layout, numerator / 8.0);
        canvas = makeCanvas(layout, true);
        TJpegStream stream(jpeg, ResampleTaps(source.height(), layout.Target.height()),
                           params.Normalize);
        if (stream.Begin()) {
          DrawPictureRows(
              QSize(jpeg.OutputWidth(), jpeg.OutputHeight()), [&](int y) { return stream.Row(y); },
              [&](int y) { stream.Release(y); }, source, canvas, layout.Target,
              params.Normalize ? nullptr : gamma);
          if (!stream.Finish(why)) failedToLoad(why);
          if (params.Normalize) {
            const std::vector<uint8_t> table = normalizeTable(stream.Sums, factor);
            NormalizeRect(canvas, layout.Target, table.empty() ? nullptr : table.data(), gamma);
          }
          drawn = true;
        }
      } else if (!jpeg.NeedsToolkit()) {
        failedToLoad(why);
      }
    }
    if (!drawn) {
      TDecodedPicture decoded = DecodePicture(
          file,
          [&](int width, int height) {
            layout = ComputePictureLayout(width, height, params);
            return MinDecodeScale(layout);
          },
          why);
      if (decoded.Image.isNull()) failedToLoad(why);
      QImage picture = std::move(decoded.Image);
      canvas = makeCanvas(layout, !picture.hasAlphaChannel());
      if (params.Normalize) {
        TBrightnessSums brightness;
        for (int y = 0; y < picture.height(); ++y)
          brightness.AddRow(picture.constScanLine(y), picture.width());
        const std::vector<uint8_t> table = normalizeTable(brightness, factor);
        if (!table.empty()) NormalizeRect(picture, picture.rect(), table.data(), nullptr);
      }
      picture = PrepareForDrawing(std::move(picture));
      DrawPictureRect(picture, ScaledSource(layout, decoded.Scale), canvas, layout.Target, gamma);
    }
    if (normFactor) *normFactor = factor;
    if (layout.Tiled) TilePicture(canvas, layout.Target.size());
    if (skew) *skew = layout.Skew;
    bitmap = std::move(canvas);
  });
  if (frame.Failed()) bitmap = QImage();
  return !frame.Failed();
}
