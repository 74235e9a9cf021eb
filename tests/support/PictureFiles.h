// Pictures for the imaging tests: written with Qt, or with ImageMagick for what Qt cannot
// write (EXIF orientation, CMYK JPEG, progressive JPEG).
#pragma once

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include <ostream>

#include "TestEnvironment.h"

// Lets test messages and failed comparisons show texts.
inline std::ostream& operator<<(std::ostream& out, const QString& text) {
  return out << text.toStdString();
}

inline QString TestPicturePath(const QString& name) {
  const QString dir = TestRoot() + QStringLiteral("/pictures/");
  QDir().mkpath(dir);
  return dir + name;
}

inline QImage SolidImage(int width, int height, QRgb colour,
                         QImage::Format format = QImage::Format_RGB32) {
  QImage image(width, height, format);
  image.fill(colour);
  return image;
}

inline QImage NoiseImage(int width, int height, quint32 seed) {
  QRandomGenerator random(seed);
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) line[x] = 0xFF000000u | (random.generate() & 0xFFFFFFu);
  }
  return image;
}

// Saves `image` under `name` in the test's picture directory; returns the path.
inline QString SavePicture(const QImage& image, const QString& name, int quality = -1) {
  const QString path = TestPicturePath(name);
  image.save(path, nullptr, quality);
  return path;
}

// Runs ImageMagick's convert; true when it succeeded.
inline bool Convert(const QStringList& arguments) {
  QProcess process;
  process.start(QStringLiteral("convert"), arguments);
  return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
         process.exitCode() == 0;
}

// Largest difference of any colour channel between two pixels.
inline int ChannelDistance(QRgb a, QRgb b) {
  return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                   std::abs(qBlue(a) - qBlue(b))});
}
