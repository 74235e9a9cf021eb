// The calendar area: the calendar monitor's work area in the wallpaper's physical pixels,
// relative to that screen's top-left corner, shrunk by the desktop margin on every side.
#pragma once

#include <QRect>

// From the screen's geometry and work area in device-independent pixels and its pixel ratio.
// The result may have no width or height (a margin larger than the work area).
QRect CalendarAreaOf(const QRect& geometry, const QRect& available, double pixelRatio, int margin);
// The same for the calendar monitor now, in its device-independent pixels (the wallpaper's pixels
// divided by the monitor's scale); empty when there is none.
QRect CalendarArea(int margin);
