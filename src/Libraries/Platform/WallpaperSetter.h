// Setting the desktop wallpaper to a picture file, the way the running desktop wants it.
#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>
#include <memory>

namespace Platform {

// A monitor's part of the composed picture.
struct TMonitorPart {
  QString Name;  // the output's name, as the desktop knows it
  QRect Place;   // in the picture's pixels
};

// What the picture covers besides its pixels.
struct TWallpaperLayout {
  QColor Fill = Qt::black;  // where the screen is larger than the picture
  // Each monitor's part; none or one: the picture is one monitor's wallpaper.
  QList<TMonitorPart> Monitors;
};

class IWallpaperSetter {
 public:
  virtual ~IWallpaperSetter() = default;
  // Shows the picture file `path` (a bitmap covering every monitor, laid out as `layout` says)
  // as the wallpaper. `picture` holds the file's pixels when the caller has them (null: read
  // from the file when they are needed). On failure returns false and describes the cause in
  // `why`.
  virtual bool Set(const QString& path, const QImage& picture, const TWallpaperLayout& layout,
                   QString& why) = 0;
};

// The setter for a desktop named as in XDG_CURRENT_DESKTOP (a ":"-separated list, first known
// name wins); the X11 root window for every other desktop.
std::unique_ptr<IWallpaperSetter> MakeWallpaperSetter(const QString& currentDesktop);
// The setter of this session's desktop.
std::unique_ptr<IWallpaperSetter> SessionWallpaperSetter();

}  // namespace Platform
