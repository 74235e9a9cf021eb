#include "Monitors/MonitorFit.h"

#include <QMap>
#include <QPainter>
#include <algorithm>
#include <tuple>

#include "Error/Error.h"
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

bool FitToMonitors(const QStringList& pictures, const QList<TMonitor>& monitors,
                   TArrangement arrangement, const TComposeParams& params, QImage& canvas,
                   double* normFactor, double* skew) {
  canvas = QImage();
  const int calendar = std::max(CalendarMonitorIndex(monitors), 0);
  const QString current = pictures.value(calendar);
  const QRect area = WallpaperCanvas(monitors);
  QRect covered;
  for (const TMonitor& monitor : monitors) covered |= monitor.Geometry;
  // One monitor from the origin: its fitting is the wallpaper, with no copy.
  if (monitors.size() == 1 && area == covered)
    return Fit(current, area.size(), params, canvas, normFactor, skew);

  QImage whole = Platform::AllocateLargeImage(area.width(), area.height(), QImage::Format_RGB32);
  if (whole.isNull())
    return Fit(current, QSize(), params, canvas, normFactor, skew);  // reports the failed bitmap
  whole.fill(params.FillColor);
  if (arrangement == TArrangement::Across) {
    QImage fitted;
    if (!Fit(current, covered.size(), params, fitted, normFactor, skew)) return false;
    Place(fitted, whole, covered.topLeft() - area.topLeft());
    canvas = std::move(whole);
    return true;
  }
  struct TFit {
    QImage Picture;
    double Factor = 0;
    double Skew = 1;
  };
  using TKey = std::tuple<QString, int, int>;
  QMap<TKey, TFit> fits;
  const auto fit = [&](const QString& file, const QSize& size) -> const TFit* {
    const TKey key(file, size.width(), size.height());
    if (!fits.contains(key)) {
      TFit made;
      if (!Fit(file, size, params, made.Picture, &made.Factor, &made.Skew)) return nullptr;
      fits.insert(key, std::move(made));
    }
    return &fits[key];
  };
  // The calendar monitor's first: without its picture there is no wallpaper.
  const TFit* seen = fit(current, monitors[calendar].Geometry.size());
  if (!seen) return false;
  if (normFactor) *normFactor = seen->Factor;
  if (skew) *skew = seen->Skew;
  for (int i = 0; i < monitors.size(); ++i) {
    const QSize size = monitors[i].Geometry.size();
    const QString own = arrangement == TArrangement::Different ? pictures.value(i) : current;
    const TFit* made = fit(own, size);
    if (!made) {
      FunStatContext.Reset(fsPerfect);  // a neighbour's broken picture costs its monitor only
      made = fit(current, size);
      if (!made) return false;
    }
    Place(made->Picture, whole, monitors[i].Geometry.topLeft() - area.topLeft());
  }
  canvas = std::move(whole);
  return true;
}
