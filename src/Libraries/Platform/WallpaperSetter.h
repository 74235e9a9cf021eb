// Setting the desktop wallpaper to a picture file, the way the running desktop wants it.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <memory>

namespace Platform {

class IWallpaperSetter {
 public:
  virtual ~IWallpaperSetter() = default;
  // Shows the picture file `path` (a bitmap covering every monitor) as the wallpaper. `picture`
  // holds the file's pixels when the caller has them (null: read from the file when they are
  // needed); `fill` is the colour of any part of the screen it does not cover. On failure
  // returns false and describes the cause in `why`.
  virtual bool Set(const QString& path, const QImage& picture, const QColor& fill,
                   QString& why) = 0;
};

// The setter for a desktop named as in XDG_CURRENT_DESKTOP (a ":"-separated list, first known
// name wins); the X11 root window for every other desktop.
std::unique_ptr<IWallpaperSetter> MakeWallpaperSetter(const QString& currentDesktop);
// The setter of this session's desktop.
std::unique_ptr<IWallpaperSetter> SessionWallpaperSetter();

}  // namespace Platform
