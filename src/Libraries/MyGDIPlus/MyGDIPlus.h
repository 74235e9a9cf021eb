// Pictures: decoding, brightness normalisation, fitting to the screen, the wallpaper file.
// Plain values in, plain values out; the main window gathers its settings into TComposeParams.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>

#include "Platform/WallpaperSetter.h"

class QPainter;

// --- Picture types -------------------------------------------------------------------------

// Every decodable type's glob patterns with the leading "*" removed (".jpg"), sorted
// case-insensitively, without duplicates. Runs in a status frame.
void GetPictureExtensions(QStringList& extensions);
// All decoders' patterns joined with ";", lower-cased ("*.bmp;*.dib;*.gif;..."). Status frame.
QString GetPictureExtensionsAsFilter();
// True when the name's extension (from the last "." on) is one of `extensions`, any case.
bool IsPictureFile(const QString& fileName, const QStringList& extensions);

// --- Fitting -------------------------------------------------------------------------------

struct TFitResult {
  int Width = 0;
  int Height = 0;
  bool Stretched = false;
};

// The size a W x H picture is drawn at on a DW x DH screen by the stretch and fit rules.
// `skew`, when given, receives the picture's aspect skew against the screen (1.0 when the
// sizes are empty).
TFitResult FitPictureSize(int width, int height, int destWidth, int destHeight, double* skew,
                          bool fit, bool stretch, double maxSkew, int minSize);

struct TComposeParams {
  int ScreenWidth = 0;
  int ScreenHeight = 0;
  QColor FillColor = Qt::black;
  int MinStretchSize = 300;     // pixels; below 1 means no minimum
  double MaxStretchSkew = 1.2;  // fraction; 0 or less allows any skew
  bool FitAndCrop = false;
  bool Stretch = true;
  bool FitBeforeTile = true;
  bool Tile = true;
  bool Normalize = false;
  QString NormalizeMethod = QStringLiteral("Balanced scaling");
  double NormalizeLevel = 0.5;  // fraction of full brightness
  int Gamma = 100;              // percent; 100 or outside 1..1000 draws without gamma
};

// Where a picture of size W x H lands on the screen: the used part of the picture, the drawn
// rectangle and whether the drawn tile repeats over the screen.
struct TPictureLayout {
  QRect Source;
  QRect Target;
  bool Tiled = false;
  double Skew = 1.0;
};
TPictureLayout ComputePictureLayout(int width, int height, const TComposeParams& params);
// The smallest decode scale (decoded / full size) that keeps the layout's used part of the
// picture at least the size it is drawn at; 1 for an empty layout.
double MinDecodeScale(const TPictureLayout& layout);

// Loads `file` and fits it into a new screen-sized bitmap over the fill colour (status frame
// "LoadTilePictureToBitmap", Error "Failed to load picture."). `bitmap` is emptied first and
// stays empty after a failure. `normFactor` gets 0 or the applied normalisation factor,
// `skew` 1.0 or the picture's skew. An empty file name leaves everything untouched.
bool LoadTilePictureToBitmap(const QString& file, QImage& bitmap, const TComposeParams& params,
                             double* normFactor = nullptr, double* skew = nullptr);

// --- Brightness ----------------------------------------------------------------------------

// Mean brightness and its deviation, both fractions of full brightness (0 after a failure).
// The picture must be 32 bits per pixel (RGB32 or ARGB32); alpha is ignored.
bool GetPictureBright(const QImage& picture, double& mean, double& deviation);
// Pulls the picture's brightness toward `level` by the named method, in place; returns the
// factor level / mean (clamped), also when the method is unknown and nothing changes.
double NormalizePictureBrightness(QImage& picture, const QString& method, double level, double mean,
                                  double deviation);

// --- Gamma ---------------------------------------------------------------------------------

// True when the gamma percent changes the picture (1..1000 except 100).
bool IsGammaApplied(int gamma);
// 255 x (c / 255) ^ (gamma / 100) for every channel value c, rounded.
void BuildGammaTable(int gamma, uint8_t table[256]);

// --- The wallpaper file ----------------------------------------------------------------------

inline const char* const WallpaperFileName = "Backdropper_Wallpaper.bmp";

// Writes `image` as an uncompressed 24-bit bitmap, replacing `path` atomically.
// Status frame "SaveBitmapFile", Error "Failed to save wallpaper.".
bool SaveBitmapFile(const QImage& image, const QString& path);
// Draws `paint` (the calendar; none when empty) on the fitted picture through a painter clipped
// to the rows of `reach` (to nothing when it is empty), saves it as the wallpaper file and sets
// it as the desktop wallpaper. The rows are put back afterwards, so the fitted picture comes out
// as it went in, and only they are copied rather than the whole screen. `layout` tells the
// desktop what the picture covers.
bool ComposeWallpaper(QImage& fitted, const QRect& reach,
                      const std::function<void(QPainter&)>& paint,
                      const Platform::TWallpaperLayout& layout = {});
// Sets the file `name` of the wallpaper directory as the desktop wallpaper; `picture`, when
// given, holds its pixels, so that desktops that need another format are spared reading it.
// Status frame "SetFileAsWallpaper", Error "Failed to set wallpaper.".
bool SetFileAsWallpaper(const QString& name, const QImage& picture = QImage(),
                        const Platform::TWallpaperLayout& layout = {});
