// Pictures for the imaging tests: written with Qt, or with ImageMagick for what Qt cannot
// write (EXIF orientation, CMYK JPEG, progressive JPEG).
#pragma once

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QList>
#include <QPair>
#include <QProcess>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include <ostream>

#include <zlib.h>

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

// Four quadrants of distinct colours, so every turn and mirror gives a different picture.
inline QImage Quadrants(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool right = x >= width / 2;
      const bool bottom = y >= height / 2;
      image.setPixel(x, y,
                     right ? (bottom ? qRgb(255, 255, 0) : qRgb(0, 0, 255))
                           : (bottom ? qRgb(0, 200, 0) : qRgb(255, 0, 0)));
    }
  return image;
}

// A JPEG of `image` carrying the EXIF orientation `orientation` (1 to 8) in an APP1 segment
// placed after the JFIF header.
inline QString OrientedJpeg(const QImage& image, int orientation, const QString& name) {
  QByteArray jpeg;
  {
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
  }
  const QByteArray exif = QByteArray("Exif\0\0II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0", 24) +
                          char(orientation) + QByteArray("\0\0\0\0\0\0\0", 7);
  const qsizetype length = exif.size() + 2;
  const QByteArray segment =
      QByteArray("\xFF\xE1", 2) + char(length >> 8) + char(length & 0xFF) + exif;
  const int app0 = 2 + 2 + ((uchar(jpeg[4]) << 8) | uchar(jpeg[5]));  // SOI, then APP0
  jpeg.insert(app0, segment);
  const QString path = TestPicturePath(name);
  QFile file(path);
  file.open(QIODevice::WriteOnly);
  file.write(jpeg);
  return path;
}

// --- Pictures that must be refused ------------------------------------------------------------

// One PNG chunk with its length and checksum.
inline QByteArray PngChunk(const char* type, const QByteArray& data) {
  QByteArray chunk;
  const auto put32 = [&chunk](quint32 v) {
    for (int shift = 24; shift >= 0; shift -= 8) chunk.append(static_cast<char>(v >> shift));
  };
  put32(static_cast<quint32>(data.size()));
  const QByteArray body = QByteArray(type, 4) + data;
  chunk += body;
  put32(static_cast<quint32>(
      crc32(0, reinterpret_cast<const Bytef*>(body.constData()), static_cast<uInt>(body.size()))));
  return chunk;
}

// A PNG whose header claims `width` x `height` 8-bit pixels (colour type 2: RGB, 0: grey),
// followed by a few bytes of data only.
inline QByteArray PngClaiming(quint32 width, quint32 height, char colourType = 2) {
  QByteArray header;
  for (quint32 v : {width, height})
    for (int shift = 24; shift >= 0; shift -= 8) header.append(static_cast<char>(v >> shift));
  header += QByteArray("\x08") + colourType + QByteArray(3, '\0');
  return QByteArray("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", header) +
         PngChunk("IDAT", qCompress(QByteArray(64, '\0')).mid(4)) + PngChunk("IEND", {});
}

// `jpeg` with the size in its frame header replaced.
inline QByteArray JpegClaiming(QByteArray jpeg, quint16 width, quint16 height) {
  for (qsizetype i = 2; i + 9 < jpeg.size(); ++i) {
    const auto marker = static_cast<uchar>(jpeg[i + 1]);
    if (static_cast<uchar>(jpeg[i]) == 0xFF && (marker == 0xC0 || marker == 0xC2)) {
      jpeg[i + 5] = static_cast<char>(height >> 8);
      jpeg[i + 6] = static_cast<char>(height);
      jpeg[i + 7] = static_cast<char>(width >> 8);
      jpeg[i + 8] = static_cast<char>(width);
      break;
    }
  }
  return jpeg;
}

// The headers of a 24-bit bitmap of 0 x 0 pixels.
inline QByteArray BmpHeaderOfNoSize() {
  QByteArray bmp(54, '\0');
  bmp[0] = 'B';
  bmp[1] = 'M';
  bmp[2] = 54;   // file size
  bmp[10] = 54;  // pixel data offset
  bmp[14] = 40;  // info header size; width and height stay 0
  bmp[26] = 1;   // planes
  bmp[28] = 24;  // bits per pixel
  return bmp;
}

inline QString WriteTestFile(const QString& name, const QByteArray& bytes) {
  const QString path = TestPicturePath(name);
  QFile file(path);
  file.open(QIODevice::WriteOnly | QIODevice::Truncate);
  file.write(bytes);
  return path;
}

inline QByteArray ReadTestFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Files with picture extensions that no decoder may turn into a wallpaper: cut short, damaged,
// of no size, not pictures at all, too large for memory, and one that was deleted.
inline QList<QPair<QString, QString>> BadPictureFiles() {
  const QString jpegPath = SavePicture(NoiseImage(300, 200, 3), "bad-source.jpg", 90);
  const QString pngPath = SavePicture(NoiseImage(300, 200, 4), "bad-source.png");
  const QByteArray jpeg = ReadTestFile(jpegPath);
  const QByteArray png = ReadTestFile(pngPath);
  QByteArray damagedPng = png;
  damagedPng[damagedPng.size() / 2] = static_cast<char>(damagedPng[damagedPng.size() / 2] ^ 0x55);
  const QString deleted = SavePicture(SolidImage(8, 8, 0), "deleted.png");
  QFile::remove(deleted);
  return {
      {"truncated JPEG", WriteTestFile("truncated.jpg", jpeg.left(jpeg.size() / 2))},
      {"truncated PNG", WriteTestFile("truncated.png", png.left(png.size() / 2))},
      {"damaged PNG", WriteTestFile("damaged.png", damagedPng)},
      {"JPEG header only",
       WriteTestFile("header.jpg", QByteArray("\xFF\xD8\xFF\xE0\0\x10JFIF", 10))},
      {"empty file", WriteTestFile("empty.png", {})},
      {"zero-size PNG", WriteTestFile("zero.png", PngClaiming(0, 0))},
      {"zero-size JPEG", WriteTestFile("zero.jpg", JpegClaiming(jpeg, 0, 0))},
      {"zero-size BMP", WriteTestFile("zero.bmp", BmpHeaderOfNoSize())},
      {"text named .jpg", WriteTestFile("notes.jpg", "just some text, not a picture")},
      {"text named .png", WriteTestFile("notes.png", "\x89PNG but not really")},
      {"20000 x 20000 JPEG", WriteTestFile("huge.jpg", JpegClaiming(jpeg, 20000, 20000))},
      {"20000 x 20000 PNG", WriteTestFile("huge.png", PngClaiming(20000, 20000))},
      {"deleted file", deleted},
  };
}
