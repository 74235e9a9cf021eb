// The main window composing and applying the wallpaper, moving through the pictures, the
// broadcast and the timer, on real picture files; the desktop setter records instead of setting.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QScreen>

#include "ColorPanel.h"
#include "Error/Error.h"
#include "Error/ErrorForm.h"
#include "File/File.h"
#include "MainDialog/MainDialog.h"
#include "ModalAnswerer.h"
#include "MyGDIPlus/MyGDIPlus.h"
#include "MyTime.h"
#include "PictureFiles.h"
#include "Platform/CommandRunner.h"
#include "RecordingRunner.h"
#include "Registry.h"

namespace {

QString WallpaperPath() {
  return GetOperatorPath() + "Backdropper_Wallpaper.bmp";
}

class WallpaperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ErrorForm = &Errors;
    QFile::remove(WallpaperPath());
    for (const char* name : {"a.png", "b.png", "c.png", "d.png"})
      Paths << SavePicture(SolidImage(64, 48, qRgb(200, 40, 40)), name);
    Form.PictureFileNames = Paths;
    Form.UpdateLoadedPicturesCount();
    Form.Updating = false;
  }
  void TearDown() override { ErrorForm = nullptr; }

  TRecordedDesktop Desktop{"MATE"};
  TErrorForm Errors;
  // Reports and message boxes are closed; the input box is each test's own business.
  TModalAnswerer Answerer{[](QWidget* w) {
    if (qobject_cast<QInputDialog*>(w)) return;
    TModalAnswerer::ClickButton(w, "&Okay") || TModalAnswerer::ClickButton(w, "OK");
  }};
  TMainForm Form;
  QStringList Paths;
};

}  // namespace

TEST_F(WallpaperTest, NextAppliesAScreenSizedWallpaperAndUpdatesTheLabels) {
  Form.NextWallpaperLabelClick();
  EXPECT_EQ(Form.LastFileTitle, Paths[0]);
  EXPECT_EQ(Form.PictureIndex, 0);
  const QImage wallpaper(WallpaperPath());
  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  ASSERT_FALSE(wallpaper.isNull());
  EXPECT_EQ(wallpaper.size(), screen);
  EXPECT_EQ(Form.LastPictureLabel->text(),
            "Current picture (index 1) \"a.png\" in \"" + PathOfFile(Paths[0]) + "\"");
  EXPECT_TRUE(Form.CurrentSkewLabel->text().startsWith("(Current full skew "));
  EXPECT_EQ(Form.PictureAppliedNormFactorLabel->text(), "(Applied normalization factor 0)");
  EXPECT_FALSE(Desktop.Runner->Commands.isEmpty()) << "the desktop was told";
}

TEST_F(WallpaperTest, GuardSkipsUpdatingNonPicturesAndTheWallpaperItself) {
  Form.LastFileTitle = Paths[0];
  Form.Updating = true;
  Form.SetFileAsWallpaper(true);
  EXPECT_FALSE(QFile::exists(WallpaperPath()));
  Form.Updating = false;

  const QString text = TestPicturePath("notes.txt");
  QFile(text).open(QIODevice::WriteOnly);
  Form.LastFileTitle = text;
  Form.SetFileAsWallpaper(true);
  EXPECT_FALSE(QFile::exists(WallpaperPath()));

  Form.LastFileTitle = Paths[0];
  Form.SetFileAsWallpaper(true);
  ASSERT_TRUE(QFile::exists(WallpaperPath()));
  Form.LastFileTitle = PathOfFile(WallpaperPath()) + "BACKDROPPER_WALLPAPER.bmp";
  const auto before = QFileInfo(WallpaperPath()).lastModified();
  Form.SetFileAsWallpaper(true);
  EXPECT_EQ(QFileInfo(WallpaperPath()).lastModified(), before);
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
}

TEST_F(WallpaperTest, RedrawKeepsTheFittedPictureAndReloadFitsAgain) {
  Form.NextWallpaperLabelClick();
  const int fitted = Form.PictureFittings;
  Form.CalendarYearTextColorPanel->SetColor(0x00FF00);  // a calendar setting: redraw only
  EXPECT_EQ(Form.PictureFittings, fitted);
  Form.GammaPictureComboBox->setCurrentText("200");  // an effect: fitted again
  EXPECT_NE(Form.PictureFittings, fitted);
}

TEST_F(WallpaperTest, AnUnreadablePictureEmptiesTheTitleAndKeepsTheOldWallpaper) {
  Form.NextWallpaperLabelClick();
  const QByteArray before = [] {
    QFile f(WallpaperPath());
    f.open(QIODevice::ReadOnly);
    return f.readAll();
  }();
  QFile broken(Paths[1]);
  ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
  broken.write("not a picture");
  broken.close();
  Form.NextWallpaperLabelClick();
  EXPECT_EQ(Form.LastFileTitle, "");
  EXPECT_EQ(FunStatContext.Status, fsError);
  QFile after(WallpaperPath());
  after.open(QIODevice::ReadOnly);
  EXPECT_EQ(after.readAll(), before);
}

TEST_F(WallpaperTest, NextDropsVanishedPicturesAndTheCountFollows) {
  Form.NextWallpaperLabelClick();
  QFile::remove(Paths[1]);
  QFile::remove(Paths[2]);
  Form.NextWallpaperLabelClick();
  EXPECT_EQ(Form.LastFileTitle, Paths[3]);
  EXPECT_EQ(Form.PictureIndex, 1);
  EXPECT_EQ(Form.LoadedPicturesCountLabel->text(),
            "There are 2 picture ready to be used as wallpapers");
}

TEST_F(WallpaperTest, IndexBoxMovesToTheTypedEntryAndRefusesBadInput) {
  auto type = [](const QString& text) {
    return [text](QWidget* w) {
      if (auto* box = qobject_cast<QInputDialog*>(w)) {
        box->setTextValue(text);
        box->accept();
      }
    };
  };
  {
    TModalAnswerer typed(type("3"));
    Form.IndexWallpaperLabelClick();
  }
  EXPECT_EQ(Form.PictureIndex, 2);
  EXPECT_EQ(Form.LastFileTitle, Paths[2]);
  for (const char* refused : {"9", "0", "-1", "two"}) {
    TModalAnswerer typed(type(refused));
    Form.IndexWallpaperLabelClick();
    EXPECT_EQ(Form.PictureIndex, 2) << refused;
  }
}

TEST_F(WallpaperTest, BroadcastWritesThePickAndSwitchingItOffEmptiesIt) {
  Form.BroadcastWallpaperChange();
  EXPECT_TRUE(
      Paths.contains(GetProgramRegistryText("Backdropper", "", "BroadcastWallpaperChange")));
  EXPECT_GT(Form.LastBroadcastTime, 0);
  Form.IsBroadcastWallpaperChangeCheckBox->setChecked(false);
  EXPECT_EQ(GetProgramRegistryText("Backdropper", "", "BroadcastWallpaperChange"), "");

  Form.PictureFileNames.clear();
  SetProgramRegistryText("Backdropper", "", "BroadcastWallpaperChange", "x");
  Form.BroadcastWallpaperChange();
  EXPECT_EQ(GetProgramRegistryText("Backdropper", "", "BroadcastWallpaperChange"), "");
}

TEST_F(WallpaperTest, AFirstTickWithAFreshScheduleChangesThePicture) {
  Form.LastAutoChangeTime = 0;
  Form.TimerTimer();
  EXPECT_EQ(Form.LastFileTitle, Paths[0]);
  EXPECT_TRUE(QFile::exists(WallpaperPath()));
  EXPECT_NEAR(Form.LastAutoChangeTime, Now(), 1.0 / 86400 * 5);
  const QString first = Form.LastFileTitle;
  Form.TimerTimer();
  EXPECT_EQ(Form.LastFileTitle, first) << "not due again within the hour";
}

TEST_F(WallpaperTest, AWorkAreaChangeRedrawsWithoutReloading) {
  Form.NextWallpaperLabelClick();
  const int fitted = Form.PictureFittings;
  const qsizetype told = Desktop.Runner->Commands.size();
  // Nothing changed: nothing is drawn.
  QFile::remove(WallpaperPath());
  Form.FWinIniChange();
  EXPECT_FALSE(QFile::exists(WallpaperPath()));
  // A panel moved: the work area differs, the screen does not.
  Form.DesktopRect.translate(0, 30);
  Form.FWinIniChange();
  EXPECT_TRUE(QFile::exists(WallpaperPath())) << "the wallpaper file is written again";
  EXPECT_EQ(Form.PictureFittings, fitted) << "the picture was not fitted again";
  EXPECT_EQ(Form.DesktopRect, Form.ComputeDesktopRect());
  EXPECT_GT(Desktop.Runner->Commands.size(), told) << "the desktop was told";
}

TEST_F(WallpaperTest, AScreenSizeChangeFitsThePictureAgain) {
  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  for (const bool width : {true, false}) {
    Form.NextWallpaperLabelClick();
    const int fitted = Form.PictureFittings;
    // The cached fitting was made for another resolution.
    QRect& fittedFor = Form.FittedMonitors[0].Geometry;
    (width ? fittedFor.setWidth(fittedFor.width() + 100)
           : fittedFor.setHeight(fittedFor.height() + 100));
    Form.FWinIniChange();
    EXPECT_NE(Form.PictureFittings, fitted) << width;
    EXPECT_EQ(QSize(Form.ScreenWidth, Form.ScreenHeight), screen) << width;
    EXPECT_EQ(Form.FittedPicture.size(), screen) << width;
    EXPECT_EQ(QImage(WallpaperPath()).size(), screen) << width;
  }
}

TEST_F(WallpaperTest, BadPicturesKeepThePreviousWallpaper) {
  Form.NextWallpaperLabelClick();
  const QByteArray shown = ReadTestFile(WallpaperPath());
  ASSERT_FALSE(shown.isEmpty());
  QList<QPair<QString, QString>> files = BadPictureFiles();
  // The current picture itself deleted, then fitted again (a new gamma).
  QFile::remove(Paths[0]);
  files.append({"current picture deleted", Paths[0]});
  for (const auto& [kind, file] : files) {
    const qsizetype told = Desktop.Runner->Commands.size();
    Form.LastFileTitle = file;
    Form.GammaPictureComboBox->setCurrentIndex((Form.GammaPictureComboBox->currentIndex() + 1) %
                                               Form.GammaPictureComboBox->count());
    const TFunStatContext seen = FunStatContext;
    EXPECT_EQ(seen.Status, fsError) << kind;
    EXPECT_EQ(seen.Description, QStringLiteral("Failed to load picture.")) << kind;
    EXPECT_EQ(Form.LastFileTitle, "") << kind;
    EXPECT_TRUE(Form.FittedPicture.isNull()) << kind;
    EXPECT_EQ(ReadTestFile(WallpaperPath()), shown) << kind << ": the wallpaper file was changed";
    EXPECT_EQ(Desktop.Runner->Commands.size(), told) << kind << ": the desktop was told";
  }
  // The next good picture is shown again.
  Form.NextWallpaperLabelClick();
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  EXPECT_FALSE(Form.FittedPicture.isNull());
}

TEST_F(WallpaperTest, AMissingDesktopToolFailsToSetTheWallpaper) {
  // The real command runner, on a PATH where the desktop's tool is not found.
  Platform::SetCommandRunner(nullptr);
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", QFile::encodeName(TestRoot() + "/no-tools"));
  Form.NextWallpaperLabelClick();
  const TFunStatContext seen = FunStatContext;
  qputenv("PATH", path);
  EXPECT_EQ(seen.Status, fsError);
  EXPECT_EQ(seen.Description, QStringLiteral("Failed to set wallpaper."));
  EXPECT_TRUE(seen.Parameter2.startsWith("gsettings failed")) << seen.Parameter2;
  EXPECT_TRUE(QFile::exists(WallpaperPath())) << "the file is written before it is handed over";
  EXPECT_EQ(Form.LastFileTitle, Paths[0]) << "the picture itself was fine";
}
