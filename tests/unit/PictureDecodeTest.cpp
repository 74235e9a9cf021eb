// Decoding: EXIF orientation, reduction in the DCT step, colour spaces, transparency, bad files,
// and the list of picture types.
#include <gtest/gtest.h>

#include <QFile>
#include <QImageReader>
#include <sys/resource.h>

#include <vector>

#include "MyGDIPlus/MyGDIPlus.h"
#include "MyGDIPlus/JpegRows.h"
#include "MyGDIPlus/JpegStream.h"
#include "MyGDIPlus/PictureDecode.h"
#include "PictureFiles.h"

namespace {

TDecodedPicture Decode(const QString& path, double minScale = 1.0, QSize* seen = nullptr) {
  QString why;
  return DecodePicture(
      path,
      [&](int width, int height) {
        if (seen) *seen = QSize(width, height);
        return minScale;
      },
      why);
}

// The colours at the centres of the four quadrants of `image`.
std::vector<QRgb> QuadrantColours(const QImage& image) {
  const int w = image.width();
  const int h = image.height();
  return {image.pixel(w / 4, h / 4), image.pixel(3 * w / 4, h / 4), image.pixel(w / 4, 3 * h / 4),
          image.pixel(3 * w / 4, 3 * h / 4)};
}

void ExpectSameQuadrants(const QImage& actual, const QImage& expected, const char* what) {
  ASSERT_EQ(actual.size(), expected.size()) << what;
  const std::vector<QRgb> a = QuadrantColours(actual);
  const std::vector<QRgb> e = QuadrantColours(expected);
  for (size_t i = 0; i < 4; ++i) EXPECT_LE(ChannelDistance(a[i], e[i]), 12) << what << " " << i;
}

}  // namespace

TEST(PictureDecode, JpegIsTurnedUprightForEveryOrientation) {
  for (int orientation = 1; orientation <= 8; ++orientation) {
    const QString path = OrientedJpeg(Quadrants(64, 32), orientation,
                                      QStringLiteral("oriented-%1.jpg").arg(orientation));
    QImageReader reference(path);
    reference.setAutoTransform(true);
    QSize seen;
    const TDecodedPicture picture = Decode(path, 1.0, &seen);
    ASSERT_FALSE(picture.Image.isNull()) << orientation;
    EXPECT_EQ(seen, picture.Image.size()) << orientation;
    EXPECT_EQ(picture.Image.size(), orientation >= 5 ? QSize(32, 64) : QSize(64, 32));
    ExpectSameQuadrants(picture.Image, reference.read(),
                        QByteArray::number(orientation).constData());
  }
  // Orientation 6: the stored picture is turned a quarter clockwise to be shown; 3: half a turn.
  ExpectSameQuadrants(Decode(TestPicturePath("oriented-6.jpg")).Image,
                      Quadrants(64, 32).transformed(QTransform().rotate(90)), "6 by hand");
  ExpectSameQuadrants(Decode(TestPicturePath("oriented-3.jpg")).Image,
                      Quadrants(64, 32).mirrored(true, true), "3 by hand");
}

TEST(PictureDecode, LargeJpegIsReducedNoFurtherThanAsked) {
  const QString path = SavePicture(Quadrants(1600, 1200), "large.jpg", 90);
  struct Case {
    double MinScale;
    QSize Size;
    double Scale;
  };
  // Halving steps only: 0.3 could be 3/8, but 1/2 is what the decoder does fast.
  for (const Case& c :
       {Case{1.0, {1600, 1200}, 1.0}, Case{0.3, {800, 600}, 0.5}, Case{0.5, {800, 600}, 0.5},
        Case{0.51, {1600, 1200}, 1.0}, Case{0.25, {400, 300}, 0.25}, Case{0.2, {400, 300}, 0.25},
        Case{0.01, {200, 150}, 0.125}, Case{4.0, {1600, 1200}, 1.0}}) {
    const TDecodedPicture picture = Decode(path, c.MinScale);
    EXPECT_EQ(picture.Image.size(), c.Size) << c.MinScale;
    EXPECT_EQ(picture.Scale, c.Scale) << c.MinScale;
    EXPECT_EQ(picture.Image.format(), QImage::Format_RGB32);
    ExpectSameQuadrants(picture.Image, Quadrants(c.Size.width(), c.Size.height()), "reduced");
  }
  // A turned picture is reduced on its upright axes.
  const QString turned = OrientedJpeg(Quadrants(1600, 1200), 6, QStringLiteral("large-turned.jpg"));
  QSize seen;
  const TDecodedPicture picture = Decode(turned, 0.5, &seen);
  EXPECT_EQ(seen, QSize(1200, 1600));
  EXPECT_EQ(picture.Image.size(), QSize(600, 800));
}

TEST(PictureDecode, GreyCmykProgressiveAndTransparentPictures) {
  const QString source = SavePicture(Quadrants(80, 60), "colour.png");
  const QString grey = TestPicturePath("grey.jpg");
  ASSERT_TRUE(Convert({source, QStringLiteral("-colorspace"), QStringLiteral("Gray"), grey}));
  TDecodedPicture picture = Decode(grey);
  ASSERT_FALSE(picture.Image.isNull());
  const QRgb p = picture.Image.pixel(60, 10);
  EXPECT_TRUE(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p));

  const QString cmyk = TestPicturePath("cmyk.jpg");
  ASSERT_TRUE(Convert({source, QStringLiteral("-colorspace"), QStringLiteral("CMYK"), cmyk}));
  picture = Decode(cmyk, 0.1);
  ASSERT_FALSE(picture.Image.isNull());
  EXPECT_EQ(picture.Scale, 1.0);
  ExpectSameQuadrants(picture.Image, Quadrants(80, 60), "cmyk");

  const QString progressive = TestPicturePath("progressive.jpg");
  ASSERT_TRUE(Convert({source, QStringLiteral("-interlace"), QStringLiteral("JPEG"), progressive}));
  picture = Decode(progressive, 0.5);
  EXPECT_EQ(picture.Image.size(), QSize(40, 30));
  ExpectSameQuadrants(picture.Image, Quadrants(40, 30), "progressive");

  const QString translucent = SavePicture(
      SolidImage(8, 8, qRgba(10, 20, 30, 100), QImage::Format_ARGB32), "translucent.png");
  picture = Decode(translucent);
  EXPECT_EQ(picture.Image.format(), QImage::Format_ARGB32);
  EXPECT_EQ(qAlpha(picture.Image.pixel(3, 3)), 100);
  const QString gif = TestPicturePath("quadrants.gif");
  ASSERT_TRUE(Convert({source, QStringLiteral("-resize"), QStringLiteral("30x20!"), gif}));
  ExpectSameQuadrants(Decode(gif).Image, Quadrants(30, 20), "gif");
}

TEST(PictureDecode, BadFilesGiveAReason) {
  const QString empty = TestPicturePath("nothing.png");
  QFile(empty).open(QIODevice::WriteOnly);
  const QString notJpeg = TestPicturePath("text.jpg");
  {
    QFile file(notJpeg);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("just some text, not a picture");
  }
  for (const QString& path : {empty, notJpeg, TestPicturePath("absent.jpg")}) {
    QString why;
    bool asked = false;
    const TDecodedPicture picture = DecodePicture(
        path,
        [&](int, int) {
          asked = true;
          return 1.0;
        },
        why);
    EXPECT_TRUE(picture.Image.isNull()) << path;
    EXPECT_FALSE(why.isEmpty()) << path;
    EXPECT_FALSE(asked) << path;
  }
}

// A JPEG cut short fails with the decoder's reason, and decoding stops where the data ends: no
// grey row from past the cut is handed out.
TEST(PictureDecode, JpegCutShortFailsWhereItsDataEnds) {
  const QString noise = SavePicture(NoiseImage(64, 2048, 9), "tall-noise.png");
  for (const bool progressive : {false, true}) {
    const QString name = progressive ? "tall-progressive.jpg" : "tall-baseline.jpg";
    QStringList arguments = {noise, "-quality", "90"};
    if (progressive)
      arguments << "-interlace"
                << "Plane";
    ASSERT_TRUE(Convert(arguments << TestPicturePath(name)));
    const QByteArray whole = ReadTestFile(TestPicturePath(name));
    const QString cut = WriteTestFile("cut-" + name, whole.left(whole.size() / 3));

    QString why;
    EXPECT_TRUE(Decode(cut).Image.isNull()) << name;
    TJpegRows jpeg;
    ASSERT_TRUE(jpeg.Open(cut, why)) << name;
    ASSERT_TRUE(jpeg.Start(8, false, why)) << name;
    std::vector<uchar> row(64 * 4);
    uchar* const rows[] = {row.data()};
    int decoded = 0;
    while (jpeg.Read(rows, 1, why) == 1) ++decoded;
    EXPECT_EQ(why, "Premature end of JPEG file") << name;
    // Baseline rows come as they are decoded, progressive ones only once the file was read.
    if (progressive)
      EXPECT_EQ(decoded, 0);
    else
      EXPECT_GE(decoded, 2048 / 8) << "about a third came";
    EXPECT_LT(decoded, 2048 / 2) << name;
  }
}

TEST(PictureDecode, ProgressiveJpegIsDecodedExactlyAsTheToolkitDoes) {
  // Progressive rows are decoded packed and widened in place; odd sizes, a picture of several
  // megabytes (the large-page buffer) and grey must all come out as the toolkit reads them.
  const QString noise = SavePicture(NoiseImage(1203, 901, 8), "noise-large.png");
  struct Case {
    const char* Name;
    QStringList Extra;
  };
  for (const Case& c : {Case{"colour", {}}, Case{"grey", {"-colorspace", "Gray"}}}) {
    const QString path = TestPicturePath(QString("progressive-%1.jpg").arg(c.Name));
    ASSERT_TRUE(Convert(QStringList{noise} + c.Extra +
                        QStringList{"-interlace", "Plane", "-quality", "92", path}));
    const TDecodedPicture picture = Decode(path);
    const QImage expected = QImage(path).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(picture.Image.size(), QSize(1203, 901)) << c.Name;
    EXPECT_EQ(picture.Image.format(), QImage::Format_RGB32) << c.Name;
    EXPECT_TRUE(picture.Image == expected) << c.Name;
  }
}

namespace {

// Every row of `path` through a decoding stream, the first `read` of them asked for and the rest
// left to Finish; the stream's brightness sums in `sums`.
std::vector<uchar> StreamedRows(const QString& path, bool planes, int read, TBrightnessSums& sums,
                                bool& planar) {
  QString why;
  TJpegRows jpeg;
  if (!jpeg.Open(path, why)) return {};
  planar = planes && jpeg.StartPlanes(why);
  if (!planar && !jpeg.Start(8, false, why)) return {};
  TJpegStream stream(jpeg, 3, true);
  if (!stream.Begin()) return {};
  const size_t rowBytes = static_cast<size_t>(jpeg.OutputWidth()) * 4;
  std::vector<uchar> rows;
  for (int y = 0; y < std::min(read, jpeg.OutputHeight()); ++y) {
    const uchar* row = stream.Row(y);
    if (!row) return {};
    rows.insert(rows.end(), row, row + rowBytes);
    stream.Release(y + 1);
  }
  if (!stream.Finish(why)) return {};
  sums = stream.Sums;
  return rows;
}

}  // namespace

// With half-size chroma the decoder hands over its planes and the drawing thread makes the
// colours: they must be the decoder's own to the bit, at odd sizes, across the 16-row groups
// and at the picture's edges, for baseline and progressive files. Other files keep the rows.
TEST(PictureDecode, JpegPlanesGiveTheDecodersOwnColours) {
  struct Case {
    int Width, Height;
    QStringList Options;
    bool Planar;
  };
  const QStringList halfChroma = {"-sampling-factor", "2x2"};
  const Case cases[] = {
      {37, 23, halfChroma, true},
      {333, 17, halfChroma, true},
      {1203, 901, halfChroma, true},
      {5, 40, halfChroma, true},
      {101, 67, halfChroma + QStringList{"-interlace", "Plane"}, true},
      {4, 40, halfChroma, false},  // too narrow for smoothed chroma
      {64, 48, {"-sampling-factor", "1x1"}, false},
      {64, 48, {"-colorspace", "Gray"}, false},
  };
  for (const Case& c : cases) {
    const QString name = QString("planes-%1x%2-%3.jpg")
                             .arg(c.Width)
                             .arg(c.Height)
                             .arg(c.Options.join("").remove('-'));
    SCOPED_TRACE(name.toStdString());
    const QString noise = SavePicture(NoiseImage(c.Width, c.Height, 11), "planes-noise.png");
    ASSERT_TRUE(Convert(QStringList{noise, "-quality", "85"} + c.Options +
                        QStringList{TestPicturePath(name)}));
    TBrightnessSums expectedSums;
    TBrightnessSums sums;
    bool planar = false;
    const std::vector<uchar> expected =
        StreamedRows(TestPicturePath(name), false, c.Height, expectedSums, planar);
    ASSERT_EQ(expected.size(), static_cast<size_t>(c.Width) * c.Height * 4);
    EXPECT_TRUE(StreamedRows(TestPicturePath(name), true, c.Height, sums, planar) == expected);
    EXPECT_EQ(planar, c.Planar);
    // Rows the drawing never asked for are still summed.
    const std::vector<uchar> half =
        StreamedRows(TestPicturePath(name), true, c.Height / 2, sums, planar);
    EXPECT_TRUE(std::equal(half.begin(), half.end(), expected.begin()));
    double mean = 0, deviation = 0, expectedMean = 0, expectedDeviation = 0;
    sums.Result(mean, deviation);
    expectedSums.Result(expectedMean, expectedDeviation);
    EXPECT_EQ(mean, expectedMean);
    EXPECT_EQ(deviation, expectedDeviation);
  }
}

TEST(PictureDecode, HugePicturesAreRefusedBeforeAByteIsDecoded) {
  const QString progressive = TestPicturePath("progressive.jpg");
  ASSERT_TRUE(Convert({SavePicture(NoiseImage(64, 48, 5), "noise.png"), "-interlace", "Plane",
                       "-quality", "90", progressive}));
  const QByteArray baseline = ReadTestFile(SavePicture(NoiseImage(64, 48, 6), "noise.jpg", 90));
  const QStringList files = {
      WriteTestFile("huge-baseline.jpg", JpegClaiming(baseline, 20000, 20000)),
      WriteTestFile("huge-progressive.jpg", JpegClaiming(ReadTestFile(progressive), 20000, 20000)),
      WriteTestFile("huge-rgb.png", PngClaiming(20000, 20000)),
      // 400 MB in the decoder's own grey format, under the toolkit's limit, 1.6 GB as 32 bits.
      WriteTestFile("huge-grey.png", PngClaiming(20000, 20000, 0)),
      WriteTestFile("wide.png", PngClaiming(1000000, 300)),
  };
  rusage before{};
  ::getrusage(RUSAGE_SELF, &before);
  for (const QString& file : files) {
    QString why;
    bool asked = false;
    const TDecodedPicture picture = DecodePicture(
        file,
        [&](int, int) {
          asked = true;
          return 0.01;
        },
        why);
    EXPECT_TRUE(picture.Image.isNull()) << file;
    EXPECT_EQ(why, "The picture is too large.") << file;
    EXPECT_FALSE(asked) << file;
  }
  rusage after{};
  ::getrusage(RUSAGE_SELF, &after);
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 100 * 1024) << "kilobytes more at the peak";
}

TEST(PictureTypes, ExtensionsFilterAndMatching) {
  QStringList extensions = {QStringLiteral("stale")};
  GetPictureExtensions(extensions);
  for (const char* known : {".jpg", ".jpeg", ".png", ".bmp", ".gif", ".webp", ".tif", ".tiff"})
    EXPECT_TRUE(extensions.contains(QLatin1String(known))) << known;
  EXPECT_FALSE(extensions.contains(QStringLiteral("stale")));
  for (qsizetype i = 1; i < extensions.size(); ++i)
    EXPECT_LT(extensions[i - 1].compare(extensions[i], Qt::CaseInsensitive), 0)
        << "sorted without duplicates: " << extensions[i - 1] << " " << extensions[i];

  const QString filter = GetPictureExtensionsAsFilter();
  EXPECT_EQ(filter, filter.toLower());
  EXPECT_FALSE(filter.endsWith(QLatin1Char(';')));
  const QStringList patterns = filter.split(QLatin1Char(';'));
  EXPECT_TRUE(patterns.contains(QStringLiteral("*.jpg")));
  EXPECT_TRUE(patterns.contains(QStringLiteral("*.png")));
  // Every extension comes from a pattern of the filter, and the other way round.
  for (const QString& extension : extensions)
    EXPECT_TRUE(patterns.contains(QLatin1Char('*') + extension.toLower())) << extension;

  EXPECT_TRUE(IsPictureFile(QStringLiteral("/home/me/Photo.JPG"), extensions));
  EXPECT_TRUE(IsPictureFile(QStringLiteral("a.b.png"), extensions));
  EXPECT_FALSE(IsPictureFile(QStringLiteral("/home/me/notes.txt"), extensions));
  EXPECT_FALSE(IsPictureFile(QStringLiteral("/home/me.png/README"), extensions));
  EXPECT_FALSE(IsPictureFile(QStringLiteral("jpg"), extensions));
  EXPECT_FALSE(IsPictureFile(QStringLiteral("photo.jpg"), {}));
}
