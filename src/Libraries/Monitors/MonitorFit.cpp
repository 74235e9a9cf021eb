#include "Monitors/MonitorFit.h"

#include <QMap>
#include <QPainter>

#include "MyGDIPlus/MyGDIPlus.h"
#include "Platform/LargeMemory.h"

namespace {

// A 16K panel; a monitor beyond it would need gigabytes and is a driver's mistake.
constexpr qint64 MaxMonitorPixels = qint64{15360} * 8640;

bool Fit(const QString& file, const QSize& size, TComposeParams params, QImage& fitted,
         double* normFactor, double* skew) {
  params.ScreenWidth = size.width();
  params.ScreenHeight = size.height();
  return LoadTilePictureToBitmap(file, fitted, params, normFactor, skew);
}

// Copies `picture` onto `canvas` at `at`, row by row.
void Place(const QImage& picture, QImage& canvas, const QPoint& at) {
  QPainter painter(&canvas);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(at, picture);
}

}  // namespace

QList<TMonitor> ServedMonitors(const QList<TMonitor>& monitors, QList<TMonitor>* refused) {
  QList<TMonitor> served;
  for (const TMonitor& monitor : monitors) {
    const qint64 pixels = qint64{monitor.Geometry.width()} * monitor.Geometry.height();
    if (pixels > 0 && pixels <= MaxMonitorPixels)
      served << monitor;
    else if (refused)
      *refused << monitor;
  }
  return served;
}

bool FitToMonitors(const QString& file, const QList<TMonitor>& monitors, TArrangement arrangement,
                   const TComposeParams& params, QImage& canvas, double* normFactor, double* skew) {
  canvas = QImage();
  const QRect area = WallpaperCanvas(monitors);
  QRect covered;
  for (const TMonitor& monitor : monitors) covered |= monitor.Geometry;
  // One monitor from the origin: its fitting is the wallpaper, with no copy.
  if (monitors.size() == 1 && area == covered)
    return Fit(file, area.size(), params, canvas, normFactor, skew);

  QImage whole = Platform::AllocateLargeImage(area.width(), area.height(), QImage::Format_RGB32);
  if (whole.isNull())
    return Fit(file, QSize(), params, canvas, normFactor, skew);  // reports the failed bitmap
  whole.fill(params.FillColor);
  const int calendar = CalendarMonitorIndex(monitors);
  if (arrangement == TArrangement::Across) {
    QImage fitted;
    if (!Fit(file, covered.size(), params, fitted, normFactor, skew)) return false;
    Place(fitted, whole, covered.topLeft() - area.topLeft());
  } else {
    struct TFit {
      QImage Picture;
      double Factor = 0;
      double Skew = 1;
    };
    QMap<std::pair<int, int>, TFit> fits;
    for (const TMonitor& monitor : monitors) {
      const auto size = std::pair(monitor.Geometry.width(), monitor.Geometry.height());
      if (!fits.contains(size)) {
        TFit& fit = fits[size];
        if (!Fit(file, monitor.Geometry.size(), params, fit.Picture, &fit.Factor, &fit.Skew))
          return false;
      }
      Place(fits[size].Picture, whole, monitor.Geometry.topLeft() - area.topLeft());
    }
    const QRect shown = monitors[std::max(calendar, 0)].Geometry;
    const TFit& seen = fits[std::pair(shown.width(), shown.height())];
    if (normFactor) *normFactor = seen.Factor;
    if (skew) *skew = seen.Skew;
  }
  canvas = std::move(whole);
  return true;
}
