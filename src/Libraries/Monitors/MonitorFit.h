// One wallpaper for every monitor: a canvas covering all of them (see WallpaperCanvas), with the
// picture fitted to each monitor's own size at its place, or fitted once across all of them.
#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include "Monitors/Monitors.h"

struct TComposeParams;

enum class TArrangement {
  Same,       // each monitor the same picture, fitted to its own size
  Different,  // each monitor a picture of its own, fitted to its size
  Across,     // one picture fitted to the box around every monitor
};

// The monitors a wallpaper can be composed for; the others (larger than any real panel) are
// listed in `refused`.
QList<TMonitor> ServedMonitors(const QList<TMonitor>& monitors, QList<TMonitor>* refused);

// Fits the pictures for `monitors` onto `canvas` (emptied first, empty after a failure), over
// `params`' fill colour, which the area no monitor shows keeps. `pictures` holds each monitor's
// picture, in the order of `monitors` (across them all: the calendar monitor's). A picture shown
// at one size on several monitors is fitted once. Another monitor's picture that cannot be
// loaded gives way to the calendar monitor's. `normFactor` and `skew` are those of the calendar
// monitor's fitting. Fails as LoadTilePictureToBitmap does for the calendar monitor's picture.
bool FitToMonitors(const QStringList& pictures, const QList<TMonitor>& monitors,
                   TArrangement arrangement, const TComposeParams& params, QImage& canvas,
                   double* normFactor = nullptr, double* skew = nullptr);
