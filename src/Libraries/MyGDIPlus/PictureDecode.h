// Decoding picture files into upright 32-bit pixels.
#pragma once

#include <QImage>
#include <QString>
#include <functional>

#include "MyGDIPlus/JpegRows.h"

struct TDecodedPicture {
  // Format_RGB32 for opaque pictures, Format_ARGB32 for pictures with transparency; upright
  // (the EXIF orientation applied). Null after a failure.
  QImage Image;
  // Decoded size / full size: below 1 when a large JPEG was reduced while decoding.
  double Scale = 1.0;
};

// Called once the picture's full upright size is known; returns the smallest acceptable
// scale (decoded / full size). Decoders that cannot reduce ignore the answer.
using TDecodeScaleChooser = std::function<double(int width, int height)>;

// Decodes `path`. JPEG files go straight to libjpeg, reduced in the DCT step by the largest
// factor of 1/2, 1/4 or 1/8 that keeps the scale at or above the chooser's answer; every other type
// goes through the toolkit's decoders. `why` receives the decoder's reason after a failure.
TDecodedPicture DecodePicture(const QString& path, const TDecodeScaleChooser& chooseScale,
                              QString& why);
