// The wallpaper of plain X11 sessions: the root window's background pixmap.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>

namespace Platform {

// Makes `image` the root window's background on $DISPLAY. The pixmap outlives this process
// (its connection closes with RetainPermanent) and is named by _XROOTPMAP_ID and
// ESETROOT_PMAP_ID, so compositors and terminals find it; the pixmap set before this way is
// freed.
// A screen larger than the image (monitors that leave part of it unseen) shows `fill` there.
bool SetRootWindowImage(const QImage& image, const QColor& fill, QString& why);
// The same for a picture file.
bool SetRootWindowPicture(const QString& path, const QColor& fill, QString& why);

}  // namespace Platform
