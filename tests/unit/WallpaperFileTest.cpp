// The wallpaper file: a 24-bit bitmap other readers accept, replaced whole, and composing it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QProcess>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

#include "Error/Error.h"
#include "File/File.h"
#include "MyGDIPlus/MyGDIPlus.h"
#include "PictureFiles.h"
#include "RecordingRunner.h"

namespace {

uint32_t Read32(const QByteArray& bytes, int at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

QString Identify(const QString& path) {
  QProcess process;
  process.start(QStringLiteral("identify"),
                {QStringLiteral("-format"), QStringLiteral("%m %w %h %z %C"), path});
  process.waitForFinished(30000);
  return process.exitCode() == 0 ? QString::fromLocal8Bit(process.readAllStandardOutput())
                                 : QStringLiteral("failed");
}

}  // namespace

TEST(WallpaperFile, DirectoryIsCreatedInTheUsersDataDirectory) {
  const QString expected = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")) + "/backdropper/";
  QDir(expected).removeRecursively();
  EXPECT_EQ(GetOperatorPath(), expected);
  EXPECT_TRUE(QDir(expected).exists());
}

TEST(WallpaperFile, BitmapReadsBackInQtAndImageMagick) {
  // An odd width makes every row carry padding.
  const QImage image = NoiseImage(37, 19, 17);
  const QString path = TestPicturePath("saved.bmp");
  ASSERT_TRUE(SaveBitmapFile(image, path));

  const QImage back(path);
  ASSERT_EQ(back.size(), image.size());
  for (int y = 0; y < 19; ++y)
    for (int x = 0; x < 37; ++x) ASSERT_EQ(back.pixel(x, y), image.pixel(x, y)) << x << "," << y;

  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  EXPECT_TRUE(bytes.startsWith("BM"));
  EXPECT_EQ(Read32(bytes, 2), static_cast<uint32_t>(bytes.size()));
  EXPECT_EQ(Read32(bytes, 10), 54u);
  EXPECT_EQ(Read32(bytes, 28) & 0xFFFF, 24u);  // bits per pixel
  EXPECT_EQ(Read32(bytes, 30), 0u);            // uncompressed
  EXPECT_EQ(bytes.size(), 54 + 19 * 112);      // 37 * 3 = 111, padded to 112
  // Bottom-up: the first stored row is the picture's last.
  const QRgb last = image.pixel(0, 18);
  EXPECT_EQ(static_cast<uint8_t>(bytes[54]), qBlue(last));
  EXPECT_EQ(static_cast<uint8_t>(bytes[56]), qRed(last));

  EXPECT_EQ(Identify(path), QStringLiteral("BMP3 37 19 8 None"));
}

TEST(WallpaperFile, ReplacesTheOldFileWholeAndLeavesNothingBehind) {
  const QString directory = TestPicturePath("replace");
  QDir().mkpath(directory);
  const QString path = directory + "/wall.bmp";
  ASSERT_TRUE(SaveBitmapFile(SolidImage(64, 48, qRgb(1, 2, 3)), path));
  ASSERT_TRUE(SaveBitmapFile(SolidImage(32, 16, qRgb(200, 100, 0)), path));
  const QImage back(path);
  EXPECT_EQ(back.size(), QSize(32, 16));
  EXPECT_EQ(back.pixel(5, 5), qRgb(200, 100, 0));
  EXPECT_EQ(QDir(directory).entryList(QDir::Files), QStringList{"wall.bmp"});
}

TEST(WallpaperFile, WriteFailuresAreReported) {
  const QString path = TestPicturePath("no/such/directory/wall.bmp");
  EXPECT_FALSE(SaveBitmapFile(SolidImage(4, 4, 0), path));
  EXPECT_EQ(FunStatContext.Description, QStringLiteral("Failed to save wallpaper."));
  EXPECT_EQ(FunStatContext.Parameter1, path);
  EXPECT_NE(FunStatContext.SystemErrorCode, 0u);
  EXPECT_FALSE(QFile::exists(path));

  const QString directory = TestPicturePath("null");
  QDir().mkpath(directory);
  EXPECT_FALSE(SaveBitmapFile(QImage(), directory + "/wall.bmp"));
  EXPECT_TRUE(QDir(directory).entryList(QDir::Files).isEmpty());
}

// Large bitmaps go out in blocks while later ones are packed: rows must land in order, across
// the reuse of the packing buffers, with every row's padding.
TEST(WallpaperFile, ManyBlocksLandInOrder) {
  const QImage image = NoiseImage(1001, 1500, 5);  // rows of 3003 bytes padded to 3004
  const QString path = TestPicturePath("blocks.bmp");
  ASSERT_TRUE(SaveBitmapFile(image, path));
  EXPECT_EQ(QFileInfo(path).size(), 54 + 1500 * 3004);
  const QImage back(path);
  ASSERT_EQ(back.size(), image.size());
  for (int y = 0; y < back.height(); ++y)
    ASSERT_EQ(0, std::memcmp(back.constScanLine(y), image.constScanLine(y), 1001 * 4)) << y;
}

// A write that fails part way (here the file size limit) is reported with its cause, and the
// file it would have replaced is still there, whole.
TEST(WallpaperFile, AWriteFailingMidwayKeepsTheOldFile) {
  const QString directory = TestPicturePath("midway");
  QDir().mkpath(directory);
  const QString path = directory + "/wall.bmp";
  ASSERT_TRUE(SaveBitmapFile(SolidImage(64, 48, qRgb(9, 8, 7)), path));

  rlimit before{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
  rlimit small = before;
  small.rlim_cur = 1 << 20;  // fails within the first blocks, with more packed than fit
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);  // EFBIG instead of the signal
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved = SaveBitmapFile(NoiseImage(2000, 1000, 6), path);  // 6 MB
  setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(saved);
  EXPECT_EQ(FunStatContext.Description, QStringLiteral("Failed to save wallpaper."));
  EXPECT_EQ(FunStatContext.SystemErrorCode, static_cast<uint32_t>(EFBIG));
  const QImage back(path);
  EXPECT_EQ(back.size(), QSize(64, 48));
  EXPECT_EQ(back.pixel(3, 3), qRgb(9, 8, 7));
  EXPECT_EQ(QDir(directory).entryList(QDir::Files | QDir::Hidden), QStringList{"wall.bmp"});
}

TEST(ComposeWallpaper, PaintsWithinItsRowsWritesTheFileSetsItAndLeavesTheFittedPicture) {
  TRecordedDesktop desktop("MATE");
  QImage fitted = NoiseImage(120, 90, 3);
  const QImage original = fitted.copy();
  // The painting reaches past its rows (20 to 39): it is clipped to them.
  const auto paint = [](QPainter& painter) { painter.fillRect(10, 0, 20, 90, Qt::red); };
  ASSERT_TRUE(ComposeWallpaper(fitted, QRect(40, 20, 5, 20), paint));
  EXPECT_EQ(fitted, original) << "the cached picture comes back unpainted";

  const QString path = GetOperatorPath() + "Backdropper_Wallpaper.bmp";
  const QImage written = QImage(path).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(written.size(), QSize(120, 90));
  for (const int y : {0, 19, 40, 89}) EXPECT_EQ(written.pixel(15, y), original.pixel(15, y)) << y;
  for (const int y : {20, 39}) EXPECT_EQ(written.pixel(15, y), qRgb(255, 0, 0)) << y;
  EXPECT_EQ(written.pixel(50, 25), original.pixel(50, 25));
  ASSERT_FALSE(desktop.Runner->Commands.isEmpty());
  // MATE reads through gdk-pixbuf and gets a PNG of the painted wallpaper.
  const QString handed = GetOperatorPath() + "Backdropper_Wallpaper-1.png";
  EXPECT_EQ(desktop.Runner->Store.value("org.mate.background picture-filename"), handed);
  EXPECT_EQ(QImage(handed).pixel(15, 25), qRgb(255, 0, 0));

  // A refused setting is reported, but the file has been written, and the fitted picture is
  // still put back; without painting, the file is the picture.
  desktop.Runner->Answer = [](const QString&, const QStringList&) {
    Platform::TCommandResult result;
    result.Started = true;
    result.ExitCode = 1;
    return result;
  };
  EXPECT_FALSE(ComposeWallpaper(fitted, QRect(0, 20, 1, 20), paint));
  EXPECT_EQ(FunStatContext.Description, QStringLiteral("Failed to set wallpaper."));
  EXPECT_EQ(QImage(path).pixel(15, 25), qRgb(255, 0, 0));
  EXPECT_EQ(fitted, original);
  // A file that cannot be written: reported, and the fitted picture is still put back.
  rlimit before{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
  rlimit small = before;
  small.rlim_cur = 1024;
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool composed = ComposeWallpaper(fitted, QRect(0, 20, 1, 20), paint);
  setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(composed);
  EXPECT_EQ(FunStatContext.Description, QStringLiteral("Failed to save wallpaper."));
  EXPECT_EQ(fitted, original);
  EXPECT_FALSE(ComposeWallpaper(fitted, {}, nullptr));
  EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_RGB32), original);
}
